#pragma once
// The desktop entry of one shipped web application: the installed program
// started in the application's folder, named by its title and grouped by
// the desktop under its application id ("QuillBrowser." + browserID, the
// window class the program gives its frame).
#include <optional>
#include <string>
#include <string_view>

class DesktopEntry {
 public:
  // The entry's text, or nothing when a value cannot be written (the folder
  // holds a line break or is not UTF-8).
  static std::optional<std::string> Make(std::string_view title, std::string_view browserId,
                                         std::string_view workingDirectory,
                                         std::string_view iconName = "vellumview");

  // A value with the escapes desktop entries know (\s \n \t \r \\); other
  // control characters are dropped.
  static std::string Escape(std::string_view value);

  // A file name for the entry: the application id and ".desktop", with every
  // character of the browserID outside [A-Za-z0-9_.-] replaced by '_'.
  static std::string FileName(std::string_view browserId);
};
