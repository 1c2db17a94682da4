#pragma once
// Mnemonics in the program's texts are marked with '&' ("&About..."), "&&"
// standing for a literal ampersand; the toolkit marks them with '_' and
// needs a literal underscore doubled. The conversion lives here, away from
// the toolkit, so that it is tested without a display.
#include <string>
#include <string_view>

std::u16string MnemonicLabel(std::u16string_view text);
