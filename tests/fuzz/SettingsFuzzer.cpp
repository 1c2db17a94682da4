// Feeds arbitrary bytes to the settings reader as if they were the content
// of settings.json, and checks what must hold for every input: the reader
// returns S_OK or E_FAIL, never throws or crashes, and every record it fills
// keeps the rules the rest of the program relies on.
#include <string_view>

#include "com/HResult.h"
#include "settings/LoadSettings.h"
#include "tests/fuzz/FuzzCheck.h"
#include "util/Strings.h"

namespace {

// Text conversion: whatever decodes must encode back to the same bytes, up to
// the first NUL where decoding stops.
void CheckRoundTrip(std::string_view bytes) {
  const std::u16string wide = Utf8ToWide(bytes);
  if (wide.empty()) return;
  const std::string_view beforeNul = bytes.substr(0, bytes.find('\0'));
  Check(WideToUtf8(wide) == beforeNul);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  Settings settings;
  const HRESULT hr = ApplySettingsText(text, settings);
  Check(hr == S_OK || hr == E_FAIL);
  Check(settings.toolBar == 0 || settings.toolBar == 1);
  for (const auto& entry : settings.saveAsExt) Check(!entry.ext.empty());
  for (const auto& entry : settings.openBy) Check(!entry.ext.empty() && !entry.app.empty());
  if (hr == E_FAIL) {
    // A text that does not parse sets nothing at all.
    Check(settings.title.empty() && settings.browserID.empty() && settings.startPage.empty() &&
          settings.shellExecuteExt.empty() && settings.saveAsExt.empty() && settings.openBy.empty() &&
          settings.toolBar == 0);
  }
  // Stored texts never hold a NUL: the conversion stops at the first one.
  for (const auto* field : {&settings.title, &settings.browserID, &settings.startPage}) {
    Check(field->find(u'\0') == std::u16string::npos);
  }

  CheckRoundTrip(text);
  return 0;
}
