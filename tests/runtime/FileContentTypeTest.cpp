// The type of a local file the program's table does not know: the system's
// MIME database by the name alone, in the web's spelling, nothing when the
// name is unknown.
#include "runtime/loopback/FileContentType.h"

#include <gtest/gtest.h>

namespace {

TEST(FileContentType, NamesTheWebTypeOfAFileByItsNameAlone) {
  struct Case { const char* path; const char* type; };
  const Case cases[] = {
      // Module scripts, which run only with a JavaScript type.
      {"/app/js/main.mjs", "text/javascript"}, {"/app/lib/katex.MJS", "text/javascript"}, {"/app/a.cjs", "text/javascript"},
      {"/app/a.js", "text/javascript"}, {"/app/img/a.PNG", "image/png"}, {"/app/f/a.woff2", "font/woff2"},
      {"/app/f/a.otf", "font/otf"}, {"/app/t.txt", "text/plain"}, {"/app/v.webm", "video/webm"},
      {"/app/d.xml", "application/xml"}, {"/app/m.wasm", "application/wasm"}, {"/app/s.wav", "audio/wav"},
      // Names the database does not know, and names without an extension.
      {"/app/x.unknownext", ""}, {"/app/v1.2/notes", ""}, {"/app/.hidden", ""}, {"/app/data.bin", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FileContentType::ForFileName(c.path), c.type) << c.path;
}

TEST(FileContentType, SpellsTheDatabasesAliasesAsTheWebDoes) {
  struct Case { const char* extension; const char* systemType; const char* type; };
  const Case cases[] = {
      {".js", "application/x-javascript", "text/javascript"}, {".es", "application/ecmascript", "text/javascript"},
      {".mjs", "application/octet-stream", "text/javascript"}, {".wav", "audio/x-wav", "audio/wav"},
      {".ttf", "application/x-font-ttf", "font/ttf"}, {".svgz", "image/svg+xml-compressed", "image/svg+xml-compressed"},
      {".bin", "application/octet-stream", ""}, {"", "", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FileContentType::WebType(c.extension, c.systemType), c.type) << c.systemType;
}

}  // namespace
