// The baseline for Vellumview's benchmarks: the smallest GTK window holding a
// WebKitGTK view, loading one page with the engine's own file:// loader.
// It reports, on standard output, each moment the benchmarks compare with
// the program's trace, using the same monotonic clock in microseconds:
//   load-finished t=<us>       when the main frame's first load finished
//   title <text> t=<us>        when the page sets a title starting with the
//                              prefix given by --title-prefix
// and exits after the first of them that it was asked to wait for.
//
// Usage: bench_bare_window [--title-prefix P] [--timeout SECONDS]
//                          [--scheme] [--known-length] [--isolation-headers]
//                          [--headers EOR] URL
// Without --title-prefix it exits when the first load finishes; with it, it
// exits when the title first starts with P. Exit code 0 on success, 2 on
// timeout or load failure.
//
// --scheme serves local files through a custom URI scheme "bench-file"
// (secure and CORS-enabled, like the program's runtime) with a plain GIO file
// stream and no program in between; the file:// URL given is loaded as
// bench-file:// instead. It shows what the engine's custom-scheme path costs
// by itself. --known-length passes the file's size with the stream; without
// it the length is given as unknown (-1). --isolation-headers adds the three
// cross-origin isolation headers that the program sends; --headers LETTERS
// adds some of them (E: embedder policy, O: opener policy, R: resource
// policy), to find which one changes the engine's behaviour.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
  std::string url;
  std::string titlePrefix;
  int timeoutSeconds = 60;
  bool scheme = false;
  bool knownLength = false;
  std::string isolationHeaders;  // letters E, O, R: which of the three to send
};

constexpr char kScheme[] = "bench-file";

// Answers a bench-file:// request from the disk, streaming the file.
void OnSchemeRequest(WebKitURISchemeRequest* request, gpointer data) {
  const auto* options = static_cast<const Options*>(data);
  GFile* file = g_file_new_for_path(webkit_uri_scheme_request_get_path(request));
  GError* error = nullptr;
  GFileInputStream* stream = g_file_read(file, nullptr, &error);
  if (!stream) {
    webkit_uri_scheme_request_finish_error(request, error);
    g_error_free(error);
    g_object_unref(file);
    return;
  }
  gint64 length = -1;
  if (options->knownLength) {
    if (GFileInfo* info = g_file_input_stream_query_info(stream, G_FILE_ATTRIBUTE_STANDARD_SIZE, nullptr, nullptr)) {
      length = g_file_info_get_size(info);
      g_object_unref(info);
    }
  }
  WebKitURISchemeResponse* response = webkit_uri_scheme_response_new(G_INPUT_STREAM(stream), length);
  webkit_uri_scheme_response_set_status(response, 200, "OK");
  SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
  // The same six content types as the program, and none for other files,
  // so that a page gets exactly what it would get from the program.
  static const char* const kTypes[][2] = {
      {".html", "text/html"}, {".js", "text/javascript"}, {".json", "application/json"},
      {".css", "text/css"},   {".wasm", "application/wasm"}, {".svg", "image/svg+xml"},
  };
  const char* path = webkit_uri_scheme_request_get_path(request);
  for (const auto& [ext, type] : kTypes) {
    if (g_str_has_suffix(path, ext)) {
      soup_message_headers_append(headers, "Content-Type", type);
      break;
    }
  }
  const std::string& wanted = options->isolationHeaders;
  if (wanted.find('E') != std::string::npos)
    soup_message_headers_append(headers, "Cross-Origin-Embedder-Policy", "require-corp");
  if (wanted.find('O') != std::string::npos)
    soup_message_headers_append(headers, "Cross-Origin-Opener-Policy", "same-origin");
  if (wanted.find('R') != std::string::npos)
    soup_message_headers_append(headers, "Cross-Origin-Resource-Policy", "cross-origin");
  webkit_uri_scheme_response_set_http_headers(response, headers);
  webkit_uri_scheme_request_finish_with_response(request, response);
  g_object_unref(response);
  g_object_unref(stream);
  g_object_unref(file);
}

int g_exitCode = 2;

void Finish(int code) {
  g_exitCode = code;
  gtk_main_quit();
}

void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
  if (event != WEBKIT_LOAD_FINISHED) return;
  static bool reported = false;
  if (reported) return;
  reported = true;
  std::printf("load-finished t=%lld\n", static_cast<long long>(g_get_monotonic_time()));
  std::fflush(stdout);
  const auto* options = static_cast<const Options*>(data);
  if (options->titlePrefix.empty()) Finish(0);
}

gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer) {
  std::fprintf(stderr, "bench_bare_window: loading %s failed: %s\n", uri, error->message);
  Finish(2);
  return TRUE;
}

void OnTitleChanged(GObject* object, GParamSpec*, gpointer data) {
  const auto* options = static_cast<const Options*>(data);
  const char* title = webkit_web_view_get_title(WEBKIT_WEB_VIEW(object));
  if (options->titlePrefix.empty() || title == nullptr) return;
  if (std::strncmp(title, options->titlePrefix.c_str(), options->titlePrefix.size()) != 0) return;
  std::printf("title %s t=%lld\n", title, static_cast<long long>(g_get_monotonic_time()));
  std::fflush(stdout);
  Finish(0);
}

gboolean OnTimeout(gpointer) {
  std::fprintf(stderr, "bench_bare_window: timed out\n");
  Finish(2);
  return G_SOURCE_REMOVE;
}

bool ParseArguments(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--title-prefix" && i + 1 < argc) {
      options.titlePrefix = argv[++i];
    } else if (arg == "--scheme") {
      options.scheme = true;
    } else if (arg == "--isolation-headers") {
      options.isolationHeaders = "EOR";
    } else if (arg == "--headers" && i + 1 < argc) {
      options.isolationHeaders = argv[++i];
    } else if (arg == "--known-length") {
      options.knownLength = true;
    } else if (arg == "--timeout" && i + 1 < argc) {
      options.timeoutSeconds = std::atoi(argv[++i]);
    } else if (!arg.empty() && arg[0] != '-' && options.url.empty()) {
      options.url = arg;
    } else {
      return false;
    }
  }
  return !options.url.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseArguments(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [--title-prefix P] [--timeout SECONDS] URL\n", argv[0]);
    return 64;
  }
  gtk_init(&argc, &argv);

  // The same freedoms the program asks of the engine for local pages, so
  // that the two load the same page under the same rules.
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_allow_file_access_from_file_urls(settings, TRUE);
  webkit_settings_set_allow_universal_access_from_file_urls(settings, TRUE);
  webkit_settings_set_disable_web_security(settings, TRUE);

  if (options.scheme) {
    WebKitWebContext* context = webkit_web_context_get_default();
    webkit_web_context_register_uri_scheme(context, kScheme, OnSchemeRequest, &options, nullptr);
    WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
    webkit_security_manager_register_uri_scheme_as_secure(security, kScheme);
    webkit_security_manager_register_uri_scheme_as_cors_enabled(security, kScheme);
    if (g_str_has_prefix(options.url.c_str(), "file://")) options.url = kScheme + options.url.substr(4);
  }

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 1024, 768);
  gtk_window_set_title(GTK_WINDOW(window), "bench_bare_window");
  GtkWidget* view = webkit_web_view_new_with_settings(settings);
  g_object_unref(settings);
  gtk_container_add(GTK_CONTAINER(window), view);

  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), &options);
  g_signal_connect(view, "load-failed", G_CALLBACK(OnLoadFailed), nullptr);
  g_signal_connect(view, "notify::title", G_CALLBACK(OnTitleChanged), &options);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  g_timeout_add_seconds(options.timeoutSeconds, OnTimeout, nullptr);

  gtk_widget_show_all(window);
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), options.url.c_str());
  gtk_main();
  return g_exitCode;
}
