#include <gtest/gtest.h>

#include "DesktopEntry.h"
#include "SettingsCheck.h"
#include "util/Strings.h"

namespace {

TEST(SettingsCheckTest, RefusesWhatCannotShipAndSaysWhere) {
  const auto always = [](const std::u16string&) { return true; };
  struct Case {
    std::string text;
    const char* message;  // empty when the check passes
  } cases[] = {
      {R"({"title": "T", "startPage": "index.html", "browserID": "x"})", ""},
      {"\xEF\xBB\xBF{\"startPage\": \"index.html\"}", ""},
      {"{\"title\": \"T\",\n  \"startPage\": index.html}", "line 2, column 16"},
      {"{\"title\": \"T\",}", "line 1, column 15"},
      {"{\"title\": \"T\"", "line 1, column 14"},
      {"", "line 1, column 1"},
      {"[1, 2]", "top level must be an object"},
      {R"({"title": "T"})", "\"startPage\" is missing"},
      {R"({"startPage": 3})", "\"startPage\" is missing"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Settings settings;
    std::string error;
    const bool ok = SettingsCheck::Check(c.text, always, &settings, &error);
    EXPECT_EQ(ok, std::string(c.message).empty()) << error;
    if (!ok) {
      EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
  }
  Settings settings;
  std::string error;
  EXPECT_FALSE(SettingsCheck::Check(R"({"startPage": "gone.html"})",
                                    [](const std::u16string& page) { return page != u"gone.html"; }, &settings,
                                    &error));
  EXPECT_NE(error.find("not a file of the application"), std::string::npos) << error;
}

TEST(DesktopEntryTest, WritesTheApplicationsNameFolderAndWindowClass) {
  const auto entry = DesktopEntry::Make("My App", "acme.tool", "/srv/apps/my app");
  ASSERT_TRUE(entry.has_value());
  for (const char* line : {"Name=My App\n", "Exec=vellumview\n", "Path=/srv/apps/my app\n", "Icon=vellumview\n",
                           "StartupWMClass=QuillBrowser.acme.tool\n"})
    EXPECT_NE(entry->find(line), std::string::npos) << line;
  EXPECT_EQ(entry->rfind("[Desktop Entry]\n", 0), 0u);

  struct Case {
    std::string title;
    std::string name;
  } names[] = {
      {" lead\\ing\ttab\nline", "Name=\\slead\\\\ing\\ttab\\nline\n"},
      {std::string("bell\x07 del\x7F", 10), "Name=bell del\n"},
      {"", "Name=Vellumview\n"},
      {" \t\x01", "Name=Vellumview\n"},
  };
  for (const Case& c : names) {
    const auto made = DesktopEntry::Make(c.title, "", "/a");
    ASSERT_TRUE(made.has_value());
    EXPECT_NE(made->find(c.name), std::string::npos) << *made;
    EXPECT_NE(made->find("StartupWMClass=QuillBrowser.\n"), std::string::npos);
  }
  EXPECT_FALSE(DesktopEntry::Make("T", "x", "/a\nb").has_value());
  EXPECT_EQ(DesktopEntry::FileName("acme.tool/../x y"), "vellumview-acme_tool____x_y.desktop");
  EXPECT_EQ(DesktopEntry::FileName(""), "vellumview-app.desktop");
}

}  // namespace
