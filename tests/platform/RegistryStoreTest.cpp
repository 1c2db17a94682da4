#include "platform/linux/RegistryStore.h"

#include <gtest/gtest.h>

#include <ostream>

#include <map>

#include "util/Strings.h"
#include "util/TemporaryDirectory.h"

namespace {

constexpr const char* kKey = "[HKEY_LOCAL_MACHINE\\Software\\Vellum\\Test]\n";

struct ValueCase {
  const char* label;
  std::string valueLine;
  std::u16string name;
  std::optional<RegistryValue> expected;
  friend void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.label; }
};

RegistryValue Text(std::u16string text) {
  RegistryValue v;
  v.type = REG_SZ;
  v.text = std::move(text);
  return v;
}

RegistryValue Number(DWORD number) {
  RegistryValue v;
  v.type = REG_DWORD;
  v.number = number;
  return v;
}

class RegistryStoreValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(RegistryStoreValueTest, ParsesOneValueLine) {
  const ValueCase& c = GetParam();
  const RegistryStore store = RegistryStore::Parse(std::string(kKey) + c.valueLine + "\n", RegistryHive::LocalMachine);
  RegistryValue value;
  const HRESULT hr = store.ReadValue(u"Software\\Vellum\\Test", c.name, &value);
  if (c.expected) {
    ASSERT_EQ(hr, S_OK) << c.label;
    EXPECT_EQ(value, *c.expected) << c.label;
  } else {
    EXPECT_EQ(hr, HResultFromWin32(2)) << c.label;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RegistryStoreValueTest,
    ::testing::Values(
        ValueCase{"text", "\"EBWebView\"=\"/opt/rt/130.0.2839.0\"", u"EBWebView", Text(u"/opt/rt/130.0.2839.0")},
        ValueCase{"name without case", "\"EBWebView\"=\"x\"", u"ebwebVIEW", Text(u"x")},
        ValueCase{"escapes", "\"a\"=\"C:\\\\rt \\\"q\\\"\"", u"a", Text(u"C:\\rt \"q\"")},
        ValueCase{"escaped name", "\"a\\\"b\"=\"v\"", u"a\"b", Text(u"v")},
        ValueCase{"empty text", "\"a\"=\"\"", u"a", Text(u"")},
        ValueCase{"utf-8 text", "\"a\"=\"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\"", u"a", Text(u"\u30C6\u30B9\u30C8")},
        ValueCase{"dword", "\"n\"=dword:0000001f", u"n", Number(31)},
        ValueCase{"dword upper case", "\"n\"=DWORD:FFFFFFFF", u"n", Number(0xFFFFFFFFu)},
        ValueCase{"short dword", "\"n\"=dword:1", u"n", Number(1)},
        ValueCase{"default value", "@=\"default\"", u"", Text(u"default")},
        ValueCase{"spaces around", "  \"a\" = \"v\"  \r", u"a", Text(u"v")},
        ValueCase{"star name", "\"*\"=\"/any\"", u"*", Text(u"/any")},
        ValueCase{"long text kept whole", "\"a\"=\"" + std::string(600, 'x') + "\"", u"a",
                  Text(std::u16string(600, u'x'))},
        // Lines that do not parse count as absent.
        ValueCase{"unknown escape", "\"a\"=\"C:\\rt\"", u"a", std::nullopt},
        ValueCase{"unterminated text", "\"a\"=\"abc", u"a", std::nullopt},
        ValueCase{"text then junk", "\"a\"=\"abc\" x", u"a", std::nullopt},
        ValueCase{"dword too long", "\"n\"=dword:000000001", u"n", std::nullopt},
        ValueCase{"dword not hex", "\"n\"=dword:0000001g", u"n", std::nullopt},
        ValueCase{"dword empty", "\"n\"=dword:", u"n", std::nullopt},
        ValueCase{"hex value", "\"n\"=hex:01,02", u"n", std::nullopt},
        ValueCase{"deletion", "\"a\"=-", u"a", std::nullopt},
        ValueCase{"no equals", "\"a\" \"v\"", u"a", std::nullopt},
        ValueCase{"unquoted name", "a=\"v\"", u"a", std::nullopt},
        ValueCase{"invalid utf-8", "\"a\"=\"\xC3\x28\"", u"a", std::nullopt},
        ValueCase{"comment", ";\"a\"=\"v\"", u"a", std::nullopt}));

TEST(RegistryStore, SectionsChooseTheKeyAndItsParentsExist) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}]\r\n"
      "\"EBWebView\"=\"/opt/stable/130.0.2839.0\"\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"EBWebView\"=\"/wrong/hive\"\r\n"
      "[HKLM\\Software\\Short]\r\n"
      "\"v\"=dword:00000002\r\n"
      "[-HKEY_LOCAL_MACHINE\\Software\\Deleted]\r\n"
      "\"v\"=\"orphan\"\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Broken\r\n"
      "\"w\"=\"orphan\"\r\n";
  const RegistryStore store = RegistryStore::Parse(text, RegistryHive::LocalMachine);
  EXPECT_TRUE(store.KeyExists(u"Software\\Microsoft\\EdgeUpdate\\ClientState\\{f3017226-fe2a-4295-8bdf-00c3a9a7e4c5}"));
  EXPECT_TRUE(store.KeyExists(u"SOFTWARE\\Microsoft\\EdgeUpdate"));
  EXPECT_TRUE(store.KeyExists(u"Software\\Microsoft\\EdgeUpdate\\ClientState\\"));
  EXPECT_TRUE(store.KeyExists(u""));
  EXPECT_FALSE(store.KeyExists(u"Software\\Micro"));
  EXPECT_FALSE(store.KeyExists(u"Software\\Other"));
  EXPECT_FALSE(store.KeyExists(u"Software\\Deleted"));
  EXPECT_TRUE(store.KeyExists(u"Software\\Short"));
  EXPECT_EQ(store.ValueCount(), 2u);
  RegistryValue value;
  ASSERT_EQ(store.ReadValue(u"Software\\Microsoft\\EdgeUpdate\\ClientState\\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}",
                            u"EBWebView", &value),
            S_OK);
  EXPECT_EQ(value.text, u"/opt/stable/130.0.2839.0");
  EXPECT_EQ(store.ReadValue(u"Software\\Short", u"missing", &value), HResultFromWin32(2));
  EXPECT_EQ(store.ReadValue(u"Software\\Short", u"v", nullptr), E_POINTER);

  const RegistryStore user = RegistryStore::Parse(text, RegistryHive::CurrentUser);
  EXPECT_TRUE(user.KeyExists(u"Software\\Other"));
  EXPECT_EQ(user.ValueCount(), 1u);
}

TEST(RegistryStore, LaterValueReplacesEarlier) {
  const RegistryStore store =
      RegistryStore::Parse("[HKLM\\K]\n\"a\"=\"1\"\n[HKLM\\K]\n\"A\"=\"2\"\n", RegistryHive::LocalMachine);
  RegistryValue value;
  ASSERT_EQ(store.ReadValue(u"k", u"a", &value), S_OK);
  EXPECT_EQ(value.text, u"2");
  EXPECT_EQ(store.ValueCount(), 1u);
}

TEST(RegistryStore, DamagedTextNeverFails) {
  const std::string inputs[] = {"", "[", "]", "[]", "[\\]", "\"", "@", "@=", "\"a\"=", std::string(1, '\0'),
                                std::string("[HKLM\\\0x]\n\"a\"=\"b\"", 17), "\n\n\n\r\r", std::string(100000, '[')};
  for (const std::string& input : inputs) {
    const RegistryStore store = RegistryStore::Parse(input, RegistryHive::LocalMachine);
    EXPECT_EQ(store.ValueCount(), 0u);
  }
}

TEST(RegistryStore, LoadsFilesAndTreatsMissingOnesAsEmpty) {
  TemporaryDirectory dir;
  const auto path = dir.WriteFile("registry.reg", "[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"b\"\n");
  const RegistryStore store = RegistryStore::Load(Utf8ToWide(path.string()), RegistryHive::CurrentUser);
  EXPECT_EQ(store.ValueCount(), 1u);
  EXPECT_EQ(RegistryStore::Load(Utf8ToWide((dir.Path() / "none.reg").string()), RegistryHive::CurrentUser).ValueCount(),
            0u);
  EXPECT_EQ(RegistryStore::Load(u"", RegistryHive::CurrentUser).ValueCount(), 0u);
  EXPECT_EQ(RegistryStore::Load(Utf8ToWide(dir.Path().string()), RegistryHive::CurrentUser).ValueCount(), 0u);
}

struct PathCase {
  const char* label;
  RegistryHive hive;
  std::map<std::string, std::string> environment;
  std::u16string expected;
  friend void PrintTo(const PathCase& c, std::ostream* os) { *os << c.label; }
};

class RegistryStorePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(RegistryStorePathTest, FollowsTheOverridesAndTheBaseDirectories) {
  const PathCase& c = GetParam();
  const auto lookup = [&c](const char* name) -> const char* {
    const auto it = c.environment.find(name);
    return it == c.environment.end() ? nullptr : it->second.c_str();
  };
  EXPECT_EQ(RegistryStore::StorePath(c.hive, lookup), c.expected) << c.label;
}

using Env = std::map<std::string, std::string>;
INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryStorePathTest,
    ::testing::Values(
        PathCase{"machine default", RegistryHive::LocalMachine, Env{}, u"/etc/vellumview/registry.reg"},
        PathCase{"machine override", RegistryHive::LocalMachine, Env{{"VELLUMVIEW_MACHINE_REGISTRY", "/t/m.reg"}},
                 u"/t/m.reg"},
        PathCase{"empty override", RegistryHive::LocalMachine, Env{{"VELLUMVIEW_MACHINE_REGISTRY", ""}},
                 u"/etc/vellumview/registry.reg"},
        PathCase{"user default", RegistryHive::CurrentUser, Env{{"HOME", "/home/a"}},
                 u"/home/a/.config/vellumview/registry.reg"},
        PathCase{"user config home", RegistryHive::CurrentUser, Env{{"HOME", "/home/a"}, {"XDG_CONFIG_HOME", "/cfg"}},
                 u"/cfg/vellumview/registry.reg"},
        PathCase{"relative config home ignored", RegistryHive::CurrentUser,
                 Env{{"HOME", "/home/a"}, {"XDG_CONFIG_HOME", "cfg"}}, u"/home/a/.config/vellumview/registry.reg"},
        PathCase{"user override", RegistryHive::CurrentUser,
                 Env{{"HOME", "/home/a"}, {"VELLUMVIEW_USER_REGISTRY", "/t/u.reg"}}, u"/t/u.reg"},
        PathCase{"no home", RegistryHive::CurrentUser, Env{}, u""}));

}  // namespace
