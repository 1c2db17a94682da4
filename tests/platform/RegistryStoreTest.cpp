#include "platform/linux/RegistryStore.h"

#include <gtest/gtest.h>

#include <map>

#include "util/Strings.h"
#include "util/TemporaryDirectory.h"

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
      {"\"EBWebView\"=\"/opt/rt/130.0.2839.0\"", u"ebwebVIEW", Text(u"/opt/rt/130.0.2839.0")},
      {"\"a\"=\"C:\\\\rt \\\"q\\\"\"", u"a", Text(u"C:\\rt \"q\"")}, {"\"a\\\"b\"=\"v\"", u"a\"b", Text(u"v")},
      {"\"a\"=\"\"", u"a", Text(u"")}, {"\"a\"=\"\xE3\x83\x86\"", u"a", Text(u"\u30C6")},
      {"\"n\"=dword:0000001f", u"n", Number(31)}, {"\"n\"=DWORD:FFFFFFFF", u"n", Number(0xFFFFFFFFu)},
      {"\"n\"=dword:1", u"n", Number(1)}, {"@=\"default\"", u"", Text(u"default")},
      {"  \"a\" = \"v\"  \r", u"a", Text(u"v")}, {"\"*\"=\"/any\"", u"*", Text(u"/any")},
      {"\"a\"=\"" + std::string(600, 'x') + "\"", u"a", Text(std::u16string(600, u'x'))},
      // Lines that do not parse count as absent.
      {"\"a\"=\"C:\\rt\"", u"a", {}}, {"\"a\"=\"abc", u"a", {}}, {"\"a\"=\"abc\" x", u"a", {}},
      {"\"n\"=dword:000000001", u"n", {}}, {"\"n\"=dword:0000001g", u"n", {}}, {"\"n\"=dword:", u"n", {}},
      {"\"n\"=hex:01,02", u"n", {}}, {"\"a\"=-", u"a", {}}, {"\"a\" \"v\"", u"a", {}}, {"a=\"v\"", u"a", {}},
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
  EXPECT_EQ(user.ValueCount(), 1u);
}

TEST(RegistryStore, DamagedTextAndMissingFilesGiveEmptyStores) {
  const std::string inputs[] = {"", "[", "[]", "[\\]", "\"", "@=", "\"a\"=", std::string(1, '\0'),
                                std::string("[HKLM\\\0x]\n\"a\"=\"b\"", 17), "\n\r\r", std::string(100000, '[')};
  for (const std::string& input : inputs)
    EXPECT_EQ(RegistryStore::Parse(input, RegistryHive::LocalMachine).ValueCount(), 0u);
  TemporaryDirectory dir;  // (stores loaded from files are what the end-to-end tests read)
  for (const std::string& missing : {(dir.Path() / "none.reg").string(), std::string(), dir.Path().string()})
    EXPECT_EQ(RegistryStore::Load(Utf8ToWide(missing), RegistryHive::CurrentUser).ValueCount(), 0u) << missing;
}

TEST(RegistryStore, StorePathFollowsTheOverridesAndTheBaseDirectories) {
  using Env = std::map<std::string, std::string>;
  struct Case { RegistryHive hive; Env environment; std::u16string expected; };
  constexpr RegistryHive kMachine = RegistryHive::LocalMachine, kUser = RegistryHive::CurrentUser;
  const Case cases[] = {
      {kMachine, {}, u"/etc/vellumview/registry.reg"}, {kMachine, {{"VELLUMVIEW_MACHINE_REGISTRY", "/t/m.reg"}}, u"/t/m.reg"},
      {kMachine, {{"VELLUMVIEW_MACHINE_REGISTRY", ""}}, u"/etc/vellumview/registry.reg"}, {kUser, {}, u""},
      {kUser, {{"HOME", "/home/a"}}, u"/home/a/.config/vellumview/registry.reg"},
      {kUser, {{"HOME", "/home/a"}, {"XDG_CONFIG_HOME", "/cfg"}}, u"/cfg/vellumview/registry.reg"},
      {kUser, {{"HOME", "/home/a"}, {"XDG_CONFIG_HOME", "cfg"}}, u"/home/a/.config/vellumview/registry.reg"},
      {kUser, {{"HOME", "/home/a"}, {"VELLUMVIEW_USER_REGISTRY", "/t/u.reg"}}, u"/t/u.reg"},
  };
  for (const Case& c : cases) {
    const auto lookup = [&c](const char* name) { return c.environment.contains(name) ? c.environment.at(name).c_str() : nullptr; };
    EXPECT_EQ(RegistryStore::StorePath(c.hive, lookup), c.expected) << WideToUtf8(c.expected);
  }
}

}  // namespace
