// Feeds arbitrary UTF-16 text to the loader's integer conversion and version
// rule. The integer conversion is checked against the C library's own
// conversion on the same text wherever the text is plain ASCII; the version
// rule and the comparison must stay consistent with each other.
#include "loader/BrowserVersion.h"

#include <cerrno>
#include <climits>
#include <string>

#include "loader/RuntimeLoader.h"
#include "loader/WideStringToLong.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

void CheckAgainstCLibrary(const std::u16string& text) {
  std::string narrow;
  for (const char16_t c : text) {
    if (c == 0 || c > 0x7F) return;
    narrow += static_cast<char>(c);
  }
  std::size_t consumed = 0;
  const std::int32_t value = WideStringToLong(text, &consumed);
  char* end = nullptr;
  errno = 0;
  const long long expected = std::strtoll(narrow.c_str(), &end, 10);
  const long long clamped = expected > INT32_MAX ? INT32_MAX : expected < INT32_MIN ? INT32_MIN : expected;
  Check(value == clamped);
  Check(consumed == static_cast<std::size_t>(end - narrow.c_str()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = UnitsOf(data, size);
  CheckAgainstCLibrary(text);

  std::size_t consumed = 0;
  const std::int32_t value = WideStringToLong(text, &consumed);
  Check(consumed <= text.size());
  if (consumed == 0) Check(value == 0);
  if (consumed > 0) Check(text[consumed - 1] >= u'0' && text[consumed - 1] <= u'9');

  const auto version = BrowserVersion::Parse(text);
  // Only a first component without digits makes a text invalid.
  Check(version.has_value() == (consumed > 0));
  if (!version) return 0;
  Check(version->components[0] == static_cast<std::uint32_t>(value));

  // Split the input in two texts and compare them both ways.
  const std::u16string first = text.substr(0, text.size() / 2);
  const std::u16string second = text.substr(text.size() / 2);
  int forward = 2;
  int backward = 2;
  const HRESULT a = CompareBrowserVersions(first.c_str(), second.c_str(), &forward);
  const HRESULT b = CompareBrowserVersions(second.c_str(), first.c_str(), &backward);
  Check(a == b);
  if (SUCCEEDED(a)) Check(forward == -backward);
  int self = 2;
  if (SUCCEEDED(CompareBrowserVersions(text.c_str(), text.c_str(), &self))) Check(self == 0);
  return 0;
}
