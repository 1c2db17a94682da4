// The bundle helper's settings check and desktop entry. A whole demo bundle,
// a settings.json broken in its second line, and the entry's Path,
// StartupWMClass and Name lines are the bundle script's.
#include <gtest/gtest.h>

#include "tools/bundle/DesktopEntry.h"
#include "tools/bundle/SettingsCheck.h"
#include "util/Strings.h"

namespace {

TEST(SettingsCheckTest, RefusesWhatCannotShipAndSaysWhere) {
  const auto notGone = [](const std::u16string& page) { return page != u"gone.html"; };
  struct Case { std::string text; const char* message; };  // message empty when the check passes
  const Case cases[] = {
      {"\xEF\xBB\xBF{\"startPage\": \"index.html\"}", ""},
      {"{\"title\": \"T\"", "line 1, column 14"},
      {"[1, 2]", "top level must be an object"},
      {R"({"title": "T"})", "\"startPage\" is missing"},
      {R"({"startPage": 3})", "\"startPage\" is missing"},
      {R"({"startPage": "gone.html"})", "not a file of the application"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Settings settings;
    std::string error;
    const bool ok = SettingsCheck::Check(c.text, notGone, &settings, &error);
    EXPECT_EQ(ok, std::string(c.message).empty()) << error;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

TEST(DesktopEntryTest, WritesTheApplicationsNameFolderAndWindowClass) {
  const auto entry = DesktopEntry::Make("My App", "acme.tool", "/srv/apps/my app");
  ASSERT_TRUE(entry.has_value());
  for (const char* line : {"Exec=vellumview\n", "Icon=vellumview\n"}) EXPECT_NE(entry->find(line), std::string::npos) << line;
  const std::pair<std::string, std::string> names[] = {
      {" lead\\ing\ttab\nline", "Name=\\slead\\\\ing\\ttab\\nline\n"},
      {std::string("bell\x07 del\x7F", 10), "Name=bell del\n"},
      {" \t\x01", "Name=Vellumview\n"},
  };
  for (const auto& [title, name] : names) {
    const auto made = DesktopEntry::Make(title, "", "/a");
    ASSERT_TRUE(made.has_value());
    EXPECT_NE(made->find(name), std::string::npos) << *made;
  }
  EXPECT_NE(DesktopEntry::Make("", "", "/a").value_or("").find("StartupWMClass=QuillBrowser.\n"), std::string::npos);
  for (const char* folder : {"/a\nb", "/a\rb", "/caf\xe9"}) EXPECT_FALSE(DesktopEntry::Make("T", "x", folder).has_value()) << folder;
  EXPECT_EQ(DesktopEntry::FileName("acme.tool/../x y"), "vellumview-acme_tool____x_y.desktop");
  EXPECT_EQ(DesktopEntry::FileName(""), "vellumview-app.desktop");
}

}  // namespace
