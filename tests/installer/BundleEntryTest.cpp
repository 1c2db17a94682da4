// The bundle helper's settings check and desktop entry. A whole demo bundle,
// a settings.json broken in its second line, the entry's Path, StartupWMClass
// and Name lines, and the package's own icon named in its entry are the
// bundle script's.
#include <gtest/gtest.h>

#include "tools/bundle/DesktopEntry.h"
#include "tools/bundle/MetaInfo.h"
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
  // The entry is named by the window's application id, which desktops match.
  const std::pair<const char*, const char*> files[] = {
      {"acme.tool/../x y", "QuillBrowser.acme.tool_.._x_y.desktop"}, {"", "QuillBrowser..desktop"},
      {"Az09_-", "QuillBrowser.Az09_-.desktop"}};
  for (const auto& [id, file] : files) EXPECT_EQ(DesktopEntry::FileName(id), file) << id;
}

TEST(MetaInfoTest, NamesTheComponentAndEscapesWhatTheDeveloperGave) {
  const std::string xml = MetaInfo::Make("A&B <x>", "acme/tool", "1.0~rc", "Says \"hi\"\x01", "2026-01-02");
  for (const char* part : {"<id>local.quillbrowser.acme_tool</id>", "<name>A&amp;B &lt;x&gt;</name>",
                           "<summary>Says &quot;hi&quot;</summary>",
                           "<launchable type=\"desktop-id\">QuillBrowser.acme_tool.desktop</launchable>",
                           "<release version=\"1.0~rc\" date=\"2026-01-02\"/>"})
    EXPECT_NE(xml.find(part), std::string::npos) << part << "\n" << xml;
  EXPECT_EQ(MetaInfo::ComponentId(""), "local.quillbrowser.app");
  EXPECT_NE(MetaInfo::Make(" ", "", "1", "s", "d").find("<name>Vellumview</name>"), std::string::npos);
}

}  // namespace
