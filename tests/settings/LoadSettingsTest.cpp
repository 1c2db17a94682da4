#include "settings/LoadSettings.h"

#include <gtest/gtest.h>

#include <tuple>

#include "com/HResult.h"
#include "util/Strings.h"

// Reading settings.json from the working directory and handing back the
// read's or the parser's failure is what the start-up tests check.
namespace {

using namespace std::string_view_literals;

// Every case starts from a record whose scalar fields hold recognisable
// values, so that "leaves the field as it was" differs from "sets it empty".
Settings Prefilled() {
  Settings s;
  std::tie(s.title, s.browserID, s.startPage, s.toolBar) = std::tuple(u"T0", u"B0", u"S0", 7);
  return s;
}

// The fields that differ from the prefilled record, and every list entry, as text.
std::string Changes(const Settings& s) {
  const Settings p = Prefilled();
  std::string out;
  for (const auto& [name, field] : {std::pair("title", &Settings::title), std::pair("browserID", &Settings::browserID),
                                    std::pair("startPage", &Settings::startPage)})
    if (s.*field != p.*field) out += std::string(name) + "=" + WideToUtf8(s.*field) + ";";
  if (s.toolBar != p.toolBar) out += "toolBar=" + std::to_string(s.toolBar) + ";";
  for (const auto& e : s.shellExecuteExt) out += "shell=" + WideToUtf8(e) + ";";
  for (const auto& e : s.saveAsExt)
    out += "saveAs=" + WideToUtf8(e.name) + "," + WideToUtf8(e.ext) + (e.open ? ",open;" : ",closed;");
  for (const auto& e : s.openBy) out += "openBy=" + WideToUtf8(e.ext) + "," + WideToUtf8(e.app) + ";";
  return out;
}

TEST(ApplySettingsTextTest, AppliesOnlyTheKnownKeysWithTheirTypes) {
  const struct { std::string_view json; std::string_view changes; } cases[] = {
      // A root other than an object and keys in another case change nothing.
      {"[{\"title\":\"a\"}]"sv, ""sv}, {R"({"Title":"x","toolbar":1})"sv, ""sv},
      // Strings: stored as written up to a NUL; another kind keeps the field.
      {R"({"title":"","browserID":"kiosk","startPage":"app/index.html"})"sv, "title=;browserID=kiosk;startPage=app/index.html;"sv},
      {R"({"title":5,"browserID":{},"startPage":["a"]})"sv, ""sv}, {R"({"title":"ab\u0000cd"})"sv, "title=ab;"sv},
      // toolBar: 1 hides, every other integer shows; other kinds and numbers beyond int64 keep the field.
      {R"({"toolBar":1})"sv, "toolBar=1;"sv}, {R"({"toolBar":-1})"sv, "toolBar=0;"sv}, {R"({"toolBar":4294967297})"sv, "toolBar=0;"sv},
      {R"({"toolBar":true})"sv, ""sv}, {R"({"toolBar":1.0})"sv, ""sv}, {R"({"toolBar":9223372036854775808})"sv, ""sv},
      // shellExecuteExt: strings in order, other kinds skipped; a repeated key keeps only the last array.
      {R"({"shellExecuteExt":[".b",3,"",null,[".x"],{"x":1},true," .A ",".b"]})"sv, "shell=.b;shell=;shell= .A ;shell=.b;"sv},
      {R"({"shellExecuteExt":[".a"],"title":"t","shellExecuteExt":[".b"]})"sv, "title=t;shell=.b;"sv},
      // saveAsExt: objects with a non-empty ext; fields of another kind are ignored.
      {R"({"saveAsExt":[{"name":"n","open":true},{"ext":""},{"ext":"\u0000.x"},{"ext":5},{"Ext":".a"}]})"sv, ""sv},
      {R"({"saveAsExt":[".pdf",1,null,[],{"ext":".a","name":3,"open":"yes"},{"name":"PDF","ext":".b","open":true}]})"sv,
       "saveAs=,.a,closed;saveAs=PDF,.b,open;"sv},
      // openBy: objects with a non-empty ext and app, both strings; the later pair wins.
      {R"({"openBy":[{"ext":".a","app":""},{"ext":"","app":"x"},{"ext":".a"},{"app":"x"},{"ext":".a","app":1}]})"sv, ""sv},
      {R"({"openBy":["x",7,{"ext":".a","app":"x","app":"y"},{"ext":".doc","app":"/opt/my app/run","name":"n"}]})"sv,
       "openBy=.a,y;openBy=.doc,/opt/my app/run;"sv}};
  for (const auto& c : cases) {
    Settings settings = Prefilled();
    ASSERT_EQ(ApplySettingsText(c.json, settings), S_OK) << c.json;
    EXPECT_EQ(Changes(settings), c.changes) << c.json;
  }
}

// Each case would pass a parser that allowed comments, trailing commas,
// invalid UTF-8, more than 32 levels of nesting, trailing text, NaN, or
// stopped at a NUL.
TEST(ApplySettingsTextTest, TextThatIsNotStrictJsonFailsAndChangesNothing) {
  const std::string nesting33 = R"({"a":)" + std::string(32, '[') + std::string(32, ']') + "}";
  for (const std::string_view json : {""sv, R"({/* c */"title":"x"})"sv, R"({"title":"x",})"sv, "{\"title\":\"\xFF\"}"sv,
                                      std::string_view(nesting33), R"({"title":"x"} x)"sv, "{}\0garbage"sv, R"({"toolBar":NaN})"sv}) {
    Settings settings = Prefilled();
    EXPECT_EQ(ApplySettingsText(json, settings), E_FAIL) << testing::PrintToString(json);
    EXPECT_EQ(Changes(settings), "");
  }
}

}  // namespace
