#pragma once
// Formats a message text that carries the status code of a failure, such as
// "設定ファイルを読み込めません : 0x%1!x!", with the status as its only insert.
#include <string>
#include <string_view>

#include "com/Types.h"

// Expands the inserts and escapes of a message text whose single argument is
// the HRESULT:
//   %1!x!  the HRESULT as unsigned 32-bit lower-case hexadecimal without
//          leading zeros (the text itself holds the "0x" in front of it);
//   %1!X!  the same in upper case; %1!u! and %1!d! in decimal, unsigned and
//          signed;
//   %%  %  %.  %!  a literal percent sign, space, full stop or exclamation
//          mark;
//   %n  a line feed; %r a carriage return; %t a tab;
//   %0  ends the text at that point.
// Anything else after a percent sign (another insert number, an unknown
// format) is left in the text as written, so a faulty resource shows up
// rather than reading memory that was never passed.
std::u16string FormatMessageWithHResult(std::u16string_view text, HRESULT hr);
