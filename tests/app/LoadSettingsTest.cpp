#include "app/LoadSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "com/HResult.h"
#include "util/ScopedWorkingDirectory.h"
#include "util/Strings.h"
#include "util/TemporaryDirectory.h"

namespace {

using namespace std::string_view_literals;

// Printable forms so that a failing comparison shows the records.
std::string Show(const std::u16string& text) { return "\"" + WideToUtf8(text) + "\""; }

std::string Show(const Settings& s) {
  std::string out = "{title=" + Show(s.title) + " shellExecuteExt=[";
  for (const auto& e : s.shellExecuteExt) out += Show(e) + " ";
  out += "] saveAsExt=[";
  for (const auto& e : s.saveAsExt) out += "(" + Show(e.name) + " " + Show(e.ext) + (e.open ? " open)" : " closed)");
  out += "] openBy=[";
  for (const auto& e : s.openBy) out += "(" + Show(e.ext) + " " + Show(e.app) + ")";
  out += "] browserID=" + Show(s.browserID) + " startPage=" + Show(s.startPage) +
         " toolBar=" + std::to_string(s.toolBar) + "}";
  return out;
}

bool Same(const Settings& a, const Settings& b) {
  if (a.title != b.title || a.shellExecuteExt != b.shellExecuteExt || a.browserID != b.browserID ||
      a.startPage != b.startPage || a.toolBar != b.toolBar || a.saveAsExt.size() != b.saveAsExt.size() ||
      a.openBy.size() != b.openBy.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.saveAsExt.size(); ++i) {
    if (a.saveAsExt[i].name != b.saveAsExt[i].name || a.saveAsExt[i].ext != b.saveAsExt[i].ext ||
        a.saveAsExt[i].open != b.saveAsExt[i].open) {
      return false;
    }
  }
  for (std::size_t i = 0; i < a.openBy.size(); ++i) {
    if (a.openBy[i].ext != b.openBy[i].ext || a.openBy[i].app != b.openBy[i].app) return false;
  }
  return true;
}

// Every case starts from a record whose scalar fields hold recognisable
// values, so that "leaves the field as it was" can be told apart from
// "sets it to the empty text or 0".
Settings Prefilled() {
  Settings s;
  s.title = u"T0";
  s.browserID = u"B0";
  s.startPage = u"S0";
  s.toolBar = 7;
  return s;
}

// Builds an expected record from the prefilled one.
struct Expect {
  Settings settings = Prefilled();
  Expect& Title(std::u16string v) { settings.title = std::move(v); return *this; }
  Expect& BrowserID(std::u16string v) { settings.browserID = std::move(v); return *this; }
  Expect& StartPage(std::u16string v) { settings.startPage = std::move(v); return *this; }
  Expect& ToolBar(std::int32_t v) { settings.toolBar = v; return *this; }
  Expect& Shell(std::u16string v) { settings.shellExecuteExt.push_back(std::move(v)); return *this; }
  Expect& SaveAs(std::u16string name, std::u16string ext, bool open) {
    settings.saveAsExt.push_back(SaveAsEntry{std::move(name), std::move(ext), open});
    return *this;
  }
  Expect& OpenBy(std::u16string ext, std::u16string app) {
    settings.openBy.push_back(OpenByEntry{std::move(ext), std::move(app)});
    return *this;
  }
};

class LoadSettingsFileTest : public testing::Test {
 protected:
  LoadSettingsFileTest() : m_cwd(m_folder.Path()) {}

  HRESULT Load(std::string_view fileContent, Settings& settings) {
    m_folder.WriteFile("settings.json", fileContent);
    return LoadSettings(settings);
  }

  TemporaryDirectory m_folder;
  ScopedWorkingDirectory m_cwd;
};

struct SettingsCase {
  const char* label;
  std::string_view json;
  Settings expected;
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.label; }

class LoadSettingsValueTest : public LoadSettingsFileTest, public testing::WithParamInterface<SettingsCase> {};

TEST_P(LoadSettingsValueTest, AppliesTheKeysItKnows) {
  const auto& c = GetParam();
  Settings settings = Prefilled();
  ASSERT_EQ(Load(c.json, settings), S_OK);
  EXPECT_TRUE(Same(settings, c.expected)) << "got      " << Show(settings) << "\nexpected " << Show(c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Root, LoadSettingsValueTest,
    testing::Values(SettingsCase{"empty object", "{}"sv, Expect().settings},
                    SettingsCase{"array root", R"([{"title":"a"}])"sv, Expect().settings},
                    SettingsCase{"string root", R"("title")"sv, Expect().settings},
                    SettingsCase{"number root", "1"sv, Expect().settings},
                    SettingsCase{"null root", " null "sv, Expect().settings},
                    SettingsCase{"unknown keys", R"({"x":1,"toolbar":1,"start_page":"a"})"sv, Expect().settings},
                    SettingsCase{"nested keys are not settings", R"({"x":{"title":"a","toolBar":1}})"sv,
                                 Expect().settings},
                    SettingsCase{"byte-order mark", "\xEF\xBB\xBF{\"title\":\"a\"}"sv, Expect().Title(u"a").settings},
                    SettingsCase{"nesting of 32", R"({"a":[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]]]]]]]]]]]]],"title":"deep"})"sv,
                                 Expect().Title(u"deep").settings}));

INSTANTIATE_TEST_SUITE_P(
    Strings, LoadSettingsValueTest,
    testing::Values(
        SettingsCase{"title", R"({"title":"Demo"})"sv, Expect().Title(u"Demo").settings},
        SettingsCase{"empty title is stored empty", R"({"title":""})"sv, Expect().Title(u"").settings},
        SettingsCase{"numeric title keeps the field", R"({"title":5})"sv, Expect().settings},
        SettingsCase{"null title keeps the field", R"({"title":null})"sv, Expect().settings},
        SettingsCase{"capital Title is another key", R"({"Title":"x"})"sv, Expect().settings},
        SettingsCase{"NUL escape ends the text", R"({"title":"ab\u0000cd"})"sv, Expect().Title(u"ab").settings},
        SettingsCase{"NUL escape first gives empty", R"({"startPage":"\u0000index.html"})"sv,
                     Expect().StartPage(u"").settings},
        SettingsCase{"escapes", R"({"title":"\u00e9\ud83d\ude00\t\"\\\/"})"sv,
                     Expect().Title(u"\u00E9\xD83D\xDE00\t\"\\/").settings},
        SettingsCase{"raw UTF-8", "{\"title\":\"\xE8\xA8\xAD\xE5\xAE\x9A\"}"sv, Expect().Title(u"\u8A2D\u5B9A").settings},
        SettingsCase{"escaped key matches", R"({"t\u0069tle":"k"})"sv, Expect().Title(u"k").settings},
        SettingsCase{"later duplicate wins", R"({"title":"a","title":"b"})"sv, Expect().Title(u"b").settings},
        SettingsCase{"browserID", R"({"browserID":"kiosk"})"sv, Expect().BrowserID(u"kiosk").settings},
        SettingsCase{"browserID object keeps the field", R"({"browserID":{}})"sv, Expect().settings},
        SettingsCase{"startPage", R"({"startPage":"app/index.html"})"sv, Expect().StartPage(u"app/index.html").settings},
        SettingsCase{"startPage array keeps the field", R"({"startPage":["a"]})"sv, Expect().settings},
        SettingsCase{"all three", R"({"startPage":"s","browserID":"b","title":"t"})"sv,
                     Expect().Title(u"t").BrowserID(u"b").StartPage(u"s").settings}));

INSTANTIATE_TEST_SUITE_P(
    ToolBar, LoadSettingsValueTest,
    testing::Values(SettingsCase{"one hides", R"({"toolBar":1})"sv, Expect().ToolBar(1).settings},
                    SettingsCase{"zero shows", R"({"toolBar":0})"sv, Expect().ToolBar(0).settings},
                    SettingsCase{"two shows", R"({"toolBar":2})"sv, Expect().ToolBar(0).settings},
                    SettingsCase{"minus one shows", R"({"toolBar":-1})"sv, Expect().ToolBar(0).settings},
                    SettingsCase{"minus zero shows", R"({"toolBar":-0})"sv, Expect().ToolBar(0).settings},
                    SettingsCase{"largest int64 shows", R"({"toolBar":9223372036854775807})"sv,
                                 Expect().ToolBar(0).settings},
                    SettingsCase{"smallest int64 shows", R"({"toolBar":-9223372036854775808})"sv,
                                 Expect().ToolBar(0).settings},
                    SettingsCase{"2^32+1 is not 1", R"({"toolBar":4294967297})"sv, Expect().ToolBar(0).settings},
                    SettingsCase{"true keeps", R"({"toolBar":true})"sv, Expect().settings},
                    SettingsCase{"1.0 keeps", R"({"toolBar":1.0})"sv, Expect().settings},
                    SettingsCase{"1e0 keeps", R"({"toolBar":1e0})"sv, Expect().settings},
                    SettingsCase{"above int64 keeps", R"({"toolBar":9223372036854775808})"sv, Expect().settings},
                    SettingsCase{"huge keeps", R"({"toolBar":123456789012345678901234567890})"sv, Expect().settings},
                    SettingsCase{"below int64 keeps", R"({"toolBar":-9223372036854775809})"sv, Expect().settings},
                    SettingsCase{"string keeps", R"({"toolBar":"1"})"sv, Expect().settings},
                    SettingsCase{"null keeps", R"({"toolBar":null})"sv, Expect().settings},
                    SettingsCase{"later duplicate wins", R"({"toolBar":1,"toolBar":0})"sv, Expect().ToolBar(0).settings},
                    SettingsCase{"later wrong type leaves the value", R"({"toolBar":true,"title":"x"})"sv,
                                 Expect().Title(u"x").settings}));

INSTANTIATE_TEST_SUITE_P(
    ShellExecuteExt, LoadSettingsValueTest,
    testing::Values(SettingsCase{"strings, number skipped, empty kept", R"({"shellExecuteExt":[".txt",3,""]})"sv,
                                 Expect().Shell(u".txt").Shell(u"").settings},
                    SettingsCase{"other kinds skipped", R"({"shellExecuteExt":[".a",null,[".b"],{"x":1},true,".c"]})"sv,
                                 Expect().Shell(u".a").Shell(u".c").settings},
                    SettingsCase{"stored as written", R"({"shellExecuteExt":["PDF"," .doc "]})"sv,
                                 Expect().Shell(u"PDF").Shell(u" .doc ").settings},
                    SettingsCase{"NUL first gives empty entry", R"({"shellExecuteExt":["\u0000.x"]})"sv,
                                 Expect().Shell(u"").settings},
                    SettingsCase{"string instead of array", R"({"shellExecuteExt":".txt"})"sv, Expect().settings},
                    SettingsCase{"empty array", R"({"shellExecuteExt":[]})"sv, Expect().settings},
                    SettingsCase{"duplicates kept in order", R"({"shellExecuteExt":[".b",".a",".b"]})"sv,
                                 Expect().Shell(u".b").Shell(u".a").Shell(u".b").settings},
                    SettingsCase{"repeated key keeps only the last array",
                                 R"({"shellExecuteExt":[".a"],"title":"t","shellExecuteExt":[".b"]})"sv,
                                 Expect().Title(u"t").Shell(u".b").settings}));

INSTANTIATE_TEST_SUITE_P(
    SaveAsExt, LoadSettingsValueTest,
    testing::Values(
        SettingsCase{"full entry", R"({"saveAsExt":[{"name":"PDF file","ext":".pdf","open":true}]})"sv,
                     Expect().SaveAs(u"PDF file", u".pdf", true).settings},
        SettingsCase{"no ext is dropped", R"({"saveAsExt":[{"name":"n","open":true}]})"sv, Expect().settings},
        SettingsCase{"only ext", R"({"saveAsExt":[{"ext":".x"}]})"sv, Expect().SaveAs(u"", u".x", false).settings},
        SettingsCase{"empty ext is dropped", R"({"saveAsExt":[{"name":"n","ext":""}]})"sv, Expect().settings},
        SettingsCase{"ext cut to empty is dropped", R"({"saveAsExt":[{"ext":"\u0000.x"}]})"sv, Expect().settings},
        SettingsCase{"numeric ext is dropped", R"({"saveAsExt":[{"ext":5}]})"sv, Expect().settings},
        SettingsCase{"wrong kinds ignored", R"({"saveAsExt":[{"ext":".a","name":3,"open":"yes","x":1}]})"sv,
                     Expect().SaveAs(u"", u".a", false).settings},
        SettingsCase{"open as number ignored", R"({"saveAsExt":[{"ext":".a","open":1}]})"sv,
                     Expect().SaveAs(u"", u".a", false).settings},
        SettingsCase{"later pair wins", R"({"saveAsExt":[{"ext":".a","ext":".b","open":true,"open":false}]})"sv,
                     Expect().SaveAs(u"", u".b", false).settings},
        SettingsCase{"capital Ext is another key", R"({"saveAsExt":[{"Ext":".a"}]})"sv, Expect().settings},
        SettingsCase{"non-objects skipped", R"({"saveAsExt":[".pdf",1,null,[],{"ext":".c"}]})"sv,
                     Expect().SaveAs(u"", u".c", false).settings},
        SettingsCase{"order kept", R"({"saveAsExt":[{"ext":".b","name":"B"},{"ext":".a","name":"A","open":true}]})"sv,
                     Expect().SaveAs(u"B", u".b", false).SaveAs(u"A", u".a", true).settings},
        SettingsCase{"object instead of array", R"({"saveAsExt":{"ext":".a"}})"sv, Expect().settings}));

INSTANTIATE_TEST_SUITE_P(
    OpenBy, LoadSettingsValueTest,
    testing::Values(
        SettingsCase{"full entry", R"({"openBy":[{"ext":".doc","app":"writer"}]})"sv,
                     Expect().OpenBy(u".doc", u"writer").settings},
        SettingsCase{"empty app is dropped", R"({"openBy":[{"ext":".doc","app":""}]})"sv, Expect().settings},
        SettingsCase{"empty ext is dropped", R"({"openBy":[{"ext":"","app":"x"}]})"sv, Expect().settings},
        SettingsCase{"missing app is dropped", R"({"openBy":[{"ext":".doc"}]})"sv, Expect().settings},
        SettingsCase{"missing ext is dropped", R"({"openBy":[{"app":"x"}]})"sv, Expect().settings},
        SettingsCase{"numeric app is dropped", R"({"openBy":[{"ext":".a","app":1}]})"sv, Expect().settings},
        SettingsCase{"later pair wins", R"({"openBy":[{"ext":".a","app":"x","app":"y"}]})"sv,
                     Expect().OpenBy(u".a", u"y").settings},
        SettingsCase{"other keys ignored", R"({"openBy":[{"ext":".a","app":"x","name":"n","open":true}]})"sv,
                     Expect().OpenBy(u".a", u"x").settings},
        SettingsCase{"non-objects skipped", R"({"openBy":["x",{"ext":".b","app":"y"},7]})"sv,
                     Expect().OpenBy(u".b", u"y").settings},
        SettingsCase{"app with spaces stored as written", R"({"openBy":[{"ext":".a","app":"/opt/my app/run"}]})"sv,
                     Expect().OpenBy(u".a", u"/opt/my app/run").settings}));

struct FailureCase {
  const char* label;
  std::string_view json;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.label; }

class LoadSettingsInvalidTest : public LoadSettingsFileTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(LoadSettingsInvalidTest, IsUnspecifiedFailure) {
  Settings settings = Prefilled();
  EXPECT_EQ(Load(GetParam().json, settings), E_FAIL);
  EXPECT_TRUE(Same(settings, Prefilled())) << Show(settings);
}

std::string Nested(int depth) {
  std::string text = R"({"title":"x","a":)";
  text += std::string(static_cast<std::size_t>(depth - 1), '[');
  text += std::string(static_cast<std::size_t>(depth - 1), ']');
  text += '}';
  return text;
}

const std::string kNesting33 = Nested(33);

INSTANTIATE_TEST_SUITE_P(
    Table, LoadSettingsInvalidTest,
    testing::Values(FailureCase{"empty file", ""sv}, FailureCase{"only spaces", "  \n "sv},
                    FailureCase{"byte-order mark only", "\xEF\xBB\xBF"sv},
                    FailureCase{"block comment", R"({/* c */"title":"x"})"sv},
                    FailureCase{"line comment", "// c\n{\"title\":\"x\"}"sv},
                    FailureCase{"trailing comma in object", R"({"title":"x",})"sv},
                    FailureCase{"trailing comma in array", R"({"shellExecuteExt":[".a",]})"sv},
                    FailureCase{"invalid UTF-8 in a value", "{\"title\":\"\xFF\"}"sv},
                    FailureCase{"invalid UTF-8 in a key", "{\"t\xC0\xAF\":1}"sv},
                    FailureCase{"encoded surrogate", "{\"title\":\"\xED\xA0\x80\"}"sv},
                    FailureCase{"nesting of 33", kNesting33},
                    FailureCase{"two roots", "{}{}"sv}, FailureCase{"trailing text", R"({"title":"x"} x)"sv},
                    FailureCase{"unterminated", R"({"title":"x")"sv}, FailureCase{"single quotes", "{'title':'x'}"sv},
                    FailureCase{"unquoted key", "{title:\"x\"}"sv}, FailureCase{"raw control character", "{\"title\":\"a\tb\"}"sv},
                    FailureCase{"NUL byte outside strings", "{}\0"sv}, FailureCase{"UTF-16 text", "\xFF\xFE{\0}\0"sv},
                    FailureCase{"NaN", R"({"toolBar":NaN})"sv}));

TEST_F(LoadSettingsFileTest, NestingDepthLimitIsExactly32) {
  Settings settings;
  EXPECT_EQ(Load(Nested(32), settings), S_OK);
  EXPECT_EQ(settings.title, u"x");
  Settings other;
  EXPECT_EQ(Load(Nested(33), other), E_FAIL);
}

TEST_F(LoadSettingsFileTest, MissingFileIsFileNotFound) {
  Settings settings = Prefilled();
  EXPECT_EQ(static_cast<std::uint32_t>(LoadSettings(settings)), 0x80070002u);
  EXPECT_TRUE(Same(settings, Prefilled()));
}

TEST_F(LoadSettingsFileTest, FolderInPlaceOfTheFileIsAccessDenied) {
  std::filesystem::create_directory(m_folder.Path() / "settings.json");
  Settings settings;
  EXPECT_EQ(static_cast<std::uint32_t>(LoadSettings(settings)), 0x80070005u);
}

TEST_F(LoadSettingsFileTest, ReadsFromTheWorkingDirectoryOnly) {
  TemporaryDirectory elsewhere;
  elsewhere.WriteFile("settings.json", R"({"title":"elsewhere"})");
  std::filesystem::create_directory(m_folder.Path() / "sub");
  m_folder.WriteFile("sub/settings.json", R"({"title":"sub"})");
  m_folder.WriteFile("settings.json", R"({"title":"here"})");
  Settings settings;
  ASSERT_EQ(LoadSettings(settings), S_OK);
  EXPECT_EQ(settings.title, u"here");
}

TEST_F(LoadSettingsFileTest, ByteOrderMarkChangesNothing) {
  constexpr std::string_view kFile = R"({
    "title": "Vellum demo",
    "startPage": "index.html",
    "browserID": "demo",
    "toolBar": 1,
    "shellExecuteExt": [".txt", ".csv"],
    "saveAsExt": [{"name": "PDF", "ext": ".pdf", "open": true}],
    "openBy": [{"ext": ".log", "app": "/usr/bin/less"}]
  })";
  Settings plain;
  ASSERT_EQ(Load(kFile, plain), S_OK);
  Settings marked;
  ASSERT_EQ(Load("\xEF\xBB\xBF" + std::string(kFile), marked), S_OK);
  EXPECT_TRUE(Same(plain, marked)) << Show(plain) << "\n" << Show(marked);
  EXPECT_TRUE(Same(plain, Expect{Settings{}}
                              .Title(u"Vellum demo")
                              .StartPage(u"index.html")
                              .BrowserID(u"demo")
                              .ToolBar(1)
                              .Shell(u".txt")
                              .Shell(u".csv")
                              .SaveAs(u"PDF", u".pdf", true)
                              .OpenBy(u".log", u"/usr/bin/less")
                              .settings))
      << Show(plain);
}

TEST_F(LoadSettingsFileTest, DefaultsWithoutToolBarShowTheToolbar) {
  Settings settings;
  ASSERT_EQ(Load(R"({"title":"x"})", settings), S_OK);
  EXPECT_EQ(settings.toolBar, 0);
  EXPECT_TRUE(settings.shellExecuteExt.empty());
  EXPECT_TRUE(settings.saveAsExt.empty());
  EXPECT_TRUE(settings.openBy.empty());
}

TEST_F(LoadSettingsFileTest, SecondCallAppendsToTheLists) {
  Settings settings;
  ASSERT_EQ(Load(R"({"shellExecuteExt":[".a"],"title":"x"})", settings), S_OK);
  ASSERT_EQ(LoadSettings(settings), S_OK);
  EXPECT_EQ(settings.shellExecuteExt, (std::vector<std::u16string>{u".a", u".a"}));
  EXPECT_EQ(settings.title, u"x");
}

TEST_F(LoadSettingsFileTest, LongTextsAreStoredInFull) {
  const std::string page(100000, 'p');
  Settings settings;
  ASSERT_EQ(Load(R"({"startPage":")" + page + R"("})", settings), S_OK);
  EXPECT_EQ(settings.startPage, std::u16string(100000, u'p'));
}

TEST(ApplySettingsTextTest, WorksOnTextWithoutAFile) {
  Settings settings;
  EXPECT_EQ(ApplySettingsText(R"({"browserID":"b","toolBar":1})", settings), S_OK);
  EXPECT_EQ(settings.browserID, u"b");
  EXPECT_EQ(settings.toolBar, 1);
  EXPECT_EQ(ApplySettingsText("{", settings), E_FAIL);
  // The text is taken by length, not up to a NUL.
  EXPECT_EQ(ApplySettingsText(std::string_view("{}\0garbage", 10), settings), E_FAIL);
}

}  // namespace
