#pragma once
// The window trace: when the environment variable VELLUMVIEW_WINDOW_TRACE
// names a file, one line is appended to it for each window shown, toolbar
// created, dialog or message box opened and closed, so that tests of the
// real program can see what the user would see. Without the variable it
// writes nothing.
#include <string>
#include <string_view>

class WindowTrace {
 public:
  WindowTrace();

  void Line(const std::string& line) const;

  // A text on one trace line: UTF-8, line breaks turned into spaces.
  static std::string OneLine(std::u16string_view text);

 private:
  std::string m_path;
};
