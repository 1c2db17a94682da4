#include "tools/bundle/SettingsCheck.h"

#include <boost/json/stream_parser.hpp>

#include "com/HResult.h"
#include "settings/LoadSettings.h"

namespace {

// "line L, column C" of the byte at `offset`, both counted from 1.
std::string Position(std::string_view text, std::size_t offset) {
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

bool SettingsCheck::Parse(std::string_view text, Settings* settings, std::string* error) {
  // The byte-order mark that the program's file reader skips before parsing.
  std::string_view body = text;
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  boost::json::stream_parser parser;
  boost::system::error_code ec;
  const std::size_t used = parser.write_some(body.data(), body.size(), ec);
  if (!ec) parser.finish(ec);
  if (ec) {
    *error = "settings.json: " + Position(body, ec == boost::json::error::incomplete ? body.size() : used) + ": " +
             ec.message();
    return false;
  }
  if (!parser.release().is_object()) {
    *error = "settings.json: the top level must be an object";
    return false;
  }
  // The program's own reader has the last word.
  Settings read;
  if (FAILED(ApplySettingsText(body, read))) {
    *error = "settings.json: the program cannot read this file";
    return false;
  }
  *settings = std::move(read);
  return true;
}
