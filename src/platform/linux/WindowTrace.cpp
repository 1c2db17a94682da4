#include "platform/linux/WindowTrace.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "util/Strings.h"

WindowTrace::WindowTrace() {
  if (const char* path = std::getenv("VELLUMVIEW_WINDOW_TRACE")) m_path = path;
}

void WindowTrace::Line(const std::string& line) const {
  if (m_path.empty()) return;
  if (FILE* f = std::fopen(m_path.c_str(), "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

std::string WindowTrace::OneLine(std::u16string_view text) {
  std::string utf8 = WideToUtf8(text);
  std::replace(utf8.begin(), utf8.end(), '\n', ' ');
  std::erase(utf8, '\r');
  return utf8;
}
