#pragma once
// The integer conversion that the loader's settings and version texts are
// read with: the C library's wide-character string-to-integer conversion in
// base 10, with a 32-bit result on every host, so that a registry value, an
// environment variable or a version text reads as the same number whether
// the host's own `long` is 32 or 64 bits wide.
//
// - Leading white space is skipped: space, tab, line feed, vertical tab,
//   form feed and carriage return (the C locale's set).
// - One optional sign, '+' or '-', follows.
// - Then the longest run of ASCII digits 0-9. A negative number is the
//   negation of the digits' value.
// - A value beyond the 32-bit range saturates: 2147483647 for a positive
//   number that is too large, -2147483648 for a negative one.
// - Without any digit the result is 0 and nothing counts as consumed, not
//   even white space or a sign.
#include <cstddef>
#include <cstdint>
#include <string_view>

// Converts the leading integer of `text`. `consumed` (when not null) receives
// the number of characters the conversion used, 0 when there was no digit.
std::int32_t WideStringToLong(std::u16string_view text, std::size_t* consumed = nullptr);
