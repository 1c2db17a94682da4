#pragma once
// The content type of a local file, named by the file's name alone. The
// program types the files a web application is made of by its own table;
// every other file the server sends (images, fonts, module scripts, text,
// media) gets the type the system's MIME database gives for the name, in the
// web's spelling, because a page depends on some of them: a module script
// without a JavaScript type never runs, and a font or a style sheet is
// refused without its own. The file's bytes are never looked at, so a file
// cannot choose how the engine reads it.
#include <string>
#include <string_view>

class FileContentType {
 public:
  // The type for a path or file name, or the empty text when the database
  // does not know the name (it then says "application/octet-stream"): the
  // answer then carries no Content-Type, as before.
  static std::string ForFileName(const std::string& path);

  // The web's type for a file whose extension (lower case, with its dot; empty
  // when the name has none) the database types as `systemType`. Some names
  // the database does not know or gives a desktop type for (".mjs", ".wasm",
  // ".otf"); some types it spells as older aliases ("application/javascript",
  // "audio/x-wav").
  static std::string WebType(std::string_view extension, std::string_view systemType);

  // The extension of the name's last part, ASCII letters in lower case.
  static std::string ExtensionOf(std::string_view path);
};
