#include "runtime/installer/RegistryStoreEditor.h"

#include <gtest/gtest.h>

#include "platform/linux/RegistryStore.h"
#include "util/Strings.h"

namespace {

constexpr const char* kKey = "Software\\Vendor\\ClientState\\{ABC}";

// The value as the program's reader sees it.
std::string ReadBack(const std::string& text, RegistryHive hive = RegistryHive::CurrentUser) {
  const RegistryStore store = RegistryStore::Parse(text, hive);
  RegistryValue value;
  if (FAILED(store.ReadValue(Utf8ToWide(kKey), u"EBWebView", &value)) || value.type != REG_SZ) return "<absent>";
  return WideToUtf8(value.text);
}

// Each row: a store, the value set in it, the lines that must still be
// there and those that must be gone; the reader must see the new value.
// Replacing an older registration among other values of the key is the
// installer's registration test.
TEST(RegistryStoreEditorTest, SetsTheValueAndKeepsEverythingElse) {
  struct EditCase { const char* label; std::string before, value; std::vector<std::string> kept, gone; RegistryHive hive; };
  const EditCase cases[] = {
      {"other keys and comments",
       "Windows Registry Editor Version 5.00\n\n; note\n[HKEY_CURRENT_USER\\Software\\Other]\n\"x\"=\"1\"\n",
       "/r/1.0.0.0", {"; note", "[HKEY_CURRENT_USER\\Software\\Other]", "\"x\"=\"1\""}, {}, RegistryHive::CurrentUser},
      {"other spellings of the key and name, in two sections",
       "[HKCU\\software\\\\vendor\\clientstate\\{abc}\\]\n\"ebwebview\" = \"/a/1.0.0.0\"\n"
       "[HKEY_LOCAL_MACHINE\\Software\\Vendor\\ClientState\\{ABC}]\n\"EBWebView\"=\"/machine/2.0.0.0\"\n"
       "[HKEY_CURRENT_USER\\Software\\Vendor\\ClientState\\{ABC}]\n\"EBWEBVIEW\"=\"/b/3.0.0.0\"\n",
       "/c/4.0.0.0", {"\"EBWebView\"=\"/machine/2.0.0.0\""}, {"\"ebwebview\" = \"/a/1.0.0.0\"", "\"EBWEBVIEW\"=\"/b/3.0.0.0\""},
       RegistryHive::CurrentUser},
      {"a key below ours is another key",
       "[HKEY_CURRENT_USER\\Software\\Vendor\\ClientState\\{ABC}\\Sub]\n\"EBWebView\"=\"/sub/1.0.0.0\"\n",
       "/ours/2.0.0.0", {"\"EBWebView\"=\"/sub/1.0.0.0\""}, {}, RegistryHive::CurrentUser},
      {"no final line feed", "[HKCU\\Software\\Other]\n\"x\"=\"1\"", "/r/1.0.0.0", {"\"x\"=\"1\""}, {}, RegistryHive::CurrentUser},
      {"an empty store; quote and backslash in the path", "", "/odd \"dir\\\"/1.0.0.0",
       {"Windows Registry Editor Version 5.00"}, {}, RegistryHive::CurrentUser},
      {"the machine hive under its own root", "", "/opt/r/130.0.1.0", {}, {}, RegistryHive::LocalMachine},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(c.label);
    const auto after = RegistryStoreEditor::SetText(c.before, c.hive, kKey, "EBWebView", c.value);
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(ReadBack(*after, c.hive), c.value);
    for (const std::string& line : c.kept) EXPECT_NE(after->find(line + "\n"), std::string::npos) << line;
    for (const std::string& line : c.gone) EXPECT_EQ(after->find(line), std::string::npos) << line;
    // Setting the same value again changes nothing.
    EXPECT_EQ(RegistryStoreEditor::SetText(*after, c.hive, kKey, "EBWebView", c.value), after);
  }
}

TEST(RegistryStoreEditorTest, KeepsByteOrderMarkAndLineEnds) {
  const std::string before = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n[HKCU\\Software\\Other]\r\n"
                             "\"x\"=\"1\"\r\n";
  const auto after = RegistryStoreEditor::SetText(before, RegistryHive::CurrentUser, kKey, "EBWebView", "/r/1.0.0.0");
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(after->rfind(before, 0), 0u) << "the old text stays as it was";
  for (std::size_t at = after->find('\n'); at != std::string::npos; at = after->find('\n', at + 1))
    EXPECT_EQ((*after)[at - 1], '\r') << "every line ends as the file's lines do, at " << at;
  EXPECT_EQ(ReadBack(*after), "/r/1.0.0.0");
}

TEST(RegistryStoreEditorTest, RefusesTextThatCannotStayOnOneLine) {
  for (const std::string& value : {std::string("/a\nb/1.0.0.0"), std::string("/a\rb"), std::string("/a\0b", 4)})
    EXPECT_FALSE(RegistryStoreEditor::SetText("", RegistryHive::CurrentUser, kKey, "EBWebView", value).has_value()) << value;
  EXPECT_FALSE(RegistryStoreEditor::SetText("", RegistryHive::CurrentUser, "Software\\a]b", "v", "x").has_value());
}

}  // namespace
