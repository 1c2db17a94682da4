#include "platform/linux/system/ShellLauncher.h"

#include <gio/gio.h>

#include "platform/linux/WindowTrace.h"
#include "util/Win32Error.h"

namespace {

// Traces the launch and turns a GLib error into the program's failure code.
HRESULT Finish(const std::string& line, GError* error) {
  WindowTrace trace;
  if (!error) {
    trace.Line(line);
    return S_OK;
  }
  trace.Line(line + " failed=" + error->message);
  g_error_free(error);
  return HResultFromWin32(ERROR_FILE_NOT_FOUND);
}

}  // namespace

HRESULT ShellLauncher::OpenDefault(const std::string& target) {
  if (target.empty()) return E_INVALIDARG;
  std::string uri = target;
  if (target.front() == '/') {
    GFile* file = g_file_new_for_path(target.c_str());
    gchar* fileUri = g_file_get_uri(file);
    uri = fileUri;
    g_free(fileUri);
    g_object_unref(file);
  }
  GError* error = nullptr;
  g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
  return Finish("shell-open " + uri, error);
}

HRESULT ShellLauncher::Start(const std::string& program, const std::vector<std::string>& arguments) {
  if (program.empty()) return E_INVALIDARG;
  std::vector<gchar*> argv;
  argv.push_back(const_cast<gchar*>(program.c_str()));
  std::string line = "start-program " + program;
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<gchar*>(argument.c_str()));
    line += " [" + argument + "]";
  }
  argv.push_back(nullptr);
  GError* error = nullptr;
  g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
  return Finish(line, error);
}
