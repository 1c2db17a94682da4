// Feeds arbitrary bytes to the registry store parser as the text of either
// hive. The parser must never fail or crash; every value it keeps must be
// readable back through the key it was stored under, and no line can add
// more than one value.
#include "platform/linux/RegistryStore.h"

#include <algorithm>
#include <string_view>

#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  for (const RegistryHive hive : {RegistryHive::LocalMachine, RegistryHive::CurrentUser}) {
    const RegistryStore store = RegistryStore::Parse(text, hive);
    Check(store.ValueCount() <= lines);
    Check(store.KeyExists(u""));
    RegistryValue value;
    const HRESULT read =
        store.ReadValue(u"Software\\Policies\\Microsoft\\Edge\\WebView2\\BrowserExecutableFolder", u"*", &value);
    Check(read == S_OK || read == static_cast<HRESULT>(0x80070002u));
  }
  return 0;
}
