#pragma once
// The program's string table: every text a user sees, keyed by its resource
// identifier (resources/Resource.h). Texts stand exactly as the program shows
// them; those with a status code carry the insert %1!x! for
// FormatMessageWithHResult.
#include <string_view>

#include "com/Types.h"

// The text with this identifier, or the empty text when there is none.
std::u16string_view LoadStringResource(UINT id);

// The part of a "description\ntool tip" string after its first line break,
// or the empty text when it has none: what tool tips and overflow menus
// show for a command.
std::u16string_view ToolTipText(UINT commandId);
