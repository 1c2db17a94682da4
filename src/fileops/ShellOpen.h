#pragma once
// Hands something to the desktop without waiting for it.
#include <optional>
#include <string_view>

// Without parameters: opens a file, folder or web address with the desktop's
// default handler for it. With parameters: starts `file` as a program and
// gives it `parameters` as one argument. A failure is written as a debug
// line and otherwise ignored: the user asked for something outside the
// program, and the program has nothing useful to add when the desktop
// cannot do it.
void ShellOpen(std::u16string_view file, std::optional<std::u16string_view> parameters = std::nullopt);
