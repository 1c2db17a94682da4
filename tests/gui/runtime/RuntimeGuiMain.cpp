// The main of every runtime GUI test program: the trace is opened on the
// runtime's first use, so it is named first, after the program and its pid.
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <fstream>

#include "tests/gui/runtime/RuntimeTrace.h"

namespace {
std::string g_tracePath;
}  // namespace

const std::string& TracePath() { return g_tracePath; }

std::string ServerOrigin() {
  std::ifstream in(g_tracePath);
  std::string origin;
  for (std::string line; std::getline(in, line);)
    if (line.rfind("event local-server-started ", 0) == 0) origin = line.substr(27, line.find(' ', 27) - 27);
  return origin;
}

int main(int argc, char** argv) {
  g_autofree char* program = g_path_get_basename(argv[0]);
  g_tracePath = g_get_tmp_dir() + std::string("/") + program + "-trace-" + std::to_string(getpid());
  g_setenv("VELLUMVIEW_TRACE", g_tracePath.c_str(), TRUE);
  gtk_init(&argc, &argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (!g_getenv("VELLUM_KEEP_TRACE")) g_remove(g_tracePath.c_str());
  return result;
}
