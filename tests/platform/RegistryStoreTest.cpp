#include "platform/linux/RegistryStore.h"

#include <gtest/gtest.h>

#include "util/Strings.h"

namespace {

RegistryValue Text(std::u16string text) { return {REG_SZ, std::move(text), 0}; }
RegistryValue Number(DWORD number) { return {REG_DWORD, {}, number}; }
// The value, or nothing when the store reports it missing.
std::optional<RegistryValue> Read(const RegistryStore& store, std::u16string_view key, std::u16string_view name) {
  RegistryValue value;
  const HRESULT hr = store.ReadValue(key, name, &value);
  EXPECT_TRUE(hr == S_OK || hr == HResultFromWin32(2));
  return hr == S_OK ? std::optional(value) : std::nullopt;
}

TEST(RegistryStore, ParsesValueLinesAndSkipsMalformedOnes) {
  struct Case { std::string line; std::u16string name; std::optional<RegistryValue> expected; };
  const Case cases[] = {
      {"\"a\\\"b\"=\"v\"", u"a\"b", Text(u"v")}, {"\"a\"=\"\"", u"a", Text(u"")},
      {"\"a\"=\"\xE3\x83\x86\"", u"a", Text(u"\u30C6")}, {"\"n\"=dword:0000001f", u"n", Number(31)},
      {"\"n\"=DWORD:FFFFFFFF", u"n", Number(0xFFFFFFFFu)}, {"\"n\"=dword:1", u"n", Number(1)},
      {"@=\"default\"", u"", Text(u"default")}, {"  \"a\" = \"v\"  \r", u"a", Text(u"v")},
      // Lines that do not parse count as absent.
      {"\"a\"=\"C:\\rt\"", u"a", {}}, {"\"a\"=\"abc", u"a", {}}, {"\"a\"=\"abc\" x", u"a", {}},
      {"\"n\"=dword:000000001", u"n", {}}, {"\"n\"=dword:0000001g", u"n", {}}, {"\"n\"=dword:", u"n", {}},
      {"\"n\"=hex:01,02", u"n", {}}, {"\"a\" \"v\"", u"a", {}}, {"a=\"v\"", u"a", {}},
      {"\"a\"=\"\xC3\x28\"", u"a", {}}, {";\"a\"=\"v\"", u"a", {}},
  };
  for (const Case& c : cases) {
    const RegistryStore store = RegistryStore::Parse("[HKLM\\Software\\T]\n" + c.line + "\n", RegistryHive::LocalMachine);
    EXPECT_EQ(Read(store, u"Software\\T", c.name), c.expected) << c.line;
  }
}

TEST(RegistryStore, SectionsChooseTheHiveAndTheKeyAndItsParentsExist) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226}]\r\n\"EBWebView\"=\"/opt/s\"\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"EBWebView\"=\"/wrong/hive\"\r\n"
      "[hkcu\\Software\\Short]\r\n\"u\"=dword:00000004\r\n"
      "[HKLM\\Software\\Short]\r\n\"v\"=dword:00000002\r\n\"V\"=dword:00000003\r\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\Deleted]\r\n\"v\"=\"orphan\"\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Broken\r\n\"w\"=\"orphan\"\r\n";
  const RegistryStore store = RegistryStore::Parse(text, RegistryHive::LocalMachine);
  for (const std::u16string_view key : {u"Software\\Microsoft\\EdgeUpdate\\ClientState\\{f3017226}",
                                        u"SOFTWARE\\Microsoft\\EdgeUpdate", u"Software\\Microsoft\\", u"", u"Software\\Short"})
    EXPECT_TRUE(store.KeyExists(key)) << WideToUtf8(key);
  for (const std::u16string_view key : {u"Software\\Micro", u"Software\\Other", u"Software\\Deleted"})
    EXPECT_FALSE(store.KeyExists(key)) << WideToUtf8(key);
  // A later value of the same name replaces the earlier one.
  EXPECT_EQ(store.ValueCount(), 2u);
  EXPECT_EQ(Read(store, u"Software\\Short", u"v"), Number(3));
  EXPECT_EQ(store.ReadValue(u"Software\\Short", u"v", nullptr), E_POINTER);
  const RegistryStore user = RegistryStore::Parse(text, RegistryHive::CurrentUser);
  EXPECT_EQ(Read(user, u"software\\other", u"EBWebView"), Text(u"/wrong/hive"));
  EXPECT_EQ(Read(user, u"Software\\Short", u"u"), Number(4));
  EXPECT_EQ(user.ValueCount(), 2u);
}

// (Missing store files are what the end-to-end and GUI tests start from.)
TEST(RegistryStore, DamagedTextGivesAnEmptyStore) {
  const std::string inputs[] = {"", "[", "[]", "[\\]", "\"", "@=", "\"a\"=", std::string(1, '\0'),
                                std::string("[HKLM\\\0x]\n\"a\"=\"b\"", 17), "\n\r\r", std::string(100000, '[')};
  for (const std::string& input : inputs)
    EXPECT_EQ(RegistryStore::Parse(input, RegistryHive::LocalMachine).ValueCount(), 0u);
}

// The usual store paths are checked with the installer's targets and by the
// end-to-end tests, which name both stores by their overrides.
TEST(RegistryStore, StorePathFallsBackWithAnEmptyOverrideAndIsEmptyWithoutAHome) {
  const auto none = [](const char*) -> const char* { return nullptr; };
  const auto emptyOverride = [](const char* name) -> const char* {
    return std::string_view(name) == "VELLUMVIEW_MACHINE_REGISTRY" ? "" : nullptr;
  };
  EXPECT_EQ(RegistryStore::StorePath(RegistryHive::LocalMachine, emptyOverride), u"/etc/vellumview/registry.reg");
  EXPECT_EQ(RegistryStore::StorePath(RegistryHive::CurrentUser, none), u"");
}

}  // namespace
