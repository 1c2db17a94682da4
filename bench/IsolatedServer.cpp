// The benchmarks' loopback HTTP floor: a minimal libsoup server in a process
// of its own that serves a folder the way the program answers local files
// (whole files with their length, the three isolation headers, the content
// type of the six extensions the program knows, no-store). The engine
// fetching from it shows what any loopback server costs the engine, so the
// program's own share is what it takes beyond this.
//
// Usage: bench_isolated_server [--port N] [--log FILE] FOLDER
// Prints "serving http://127.0.0.1:PORT/" once it listens (port 0 picks a
// free one) and logs "<status> <target>" for each request to FILE or stderr.
#include <gio/gio.h>
#include <libsoup/soup.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Server {
  std::string root;
  FILE* log = stderr;
};

const char* ContentTypeOf(const std::string& path) {
  static const std::pair<const char*, const char*> kTypes[] = {
      {".html", "text/html"}, {".js", "text/javascript"}, {".json", "application/json"},
      {".css", "text/css"},   {".wasm", "application/wasm"}, {".svg", "image/svg+xml"}};
  g_autofree char* lower = g_ascii_strdown(path.c_str(), -1);
  for (const auto& [extension, type] : kTypes)
    if (g_str_has_suffix(lower, extension)) return type;
  return nullptr;
}

void Answer(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer data) {
  const Server& server = *static_cast<Server*>(data);
  SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
  soup_message_headers_append(headers, "Cross-Origin-Embedder-Policy", "require-corp");
  soup_message_headers_append(headers, "Cross-Origin-Opener-Policy", "same-origin");
  soup_message_headers_append(headers, "Cross-Origin-Resource-Policy", "cross-origin");
  soup_message_headers_append(headers, "Cache-Control", "no-store");
  if (const char* type = ContentTypeOf(path)) soup_message_headers_append(headers, "Content-Type", type);

  // libsoup hands the path decoded; a path that climbs out of the folder is refused.
  g_autofree char* joined = g_build_filename(server.root.c_str(), path, nullptr);
  g_autoptr(GFile) file = g_file_new_for_path(joined);
  g_autoptr(GFile) rootFile = g_file_new_for_path(server.root.c_str());
  guint status = SOUP_STATUS_OK;
  if (!g_file_equal(file, rootFile) && !g_file_has_prefix(file, rootFile)) {
    status = SOUP_STATUS_BAD_REQUEST;
  } else {
    g_autofree char* local = g_file_get_path(file);
    // A mapping hands the file to the socket without a copy in this process.
    GMappedFile* mapped = g_file_test(local, G_FILE_TEST_IS_REGULAR) ? g_mapped_file_new(local, FALSE, nullptr) : nullptr;
    if (mapped) {
      g_autoptr(GBytes) body = g_mapped_file_get_bytes(mapped);
      g_mapped_file_unref(mapped);
      soup_message_body_append_bytes(soup_server_message_get_response_body(message), body);
    } else {
      status = SOUP_STATUS_NOT_FOUND;
    }
  }
  soup_server_message_set_status(message, status, nullptr);
  GUri* uri = soup_server_message_get_uri(message);
  const char* query = g_uri_get_query(uri);
  std::fprintf(server.log, "%u %s%s%s\n", status, g_uri_get_path(uri), query ? "?" : "", query ? query : "");
  std::fflush(server.log);
}

}  // namespace

int main(int argc, char** argv) {
  Server server;
  guint port = 0;
  const char* folder = ".";
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--port") && i + 1 < argc) {
      port = static_cast<guint>(std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--log") && i + 1 < argc) {
      if (!(server.log = std::fopen(argv[++i], "a"))) return std::perror(argv[i]), 2;
    } else {
      folder = argv[i];
    }
  }
  g_autofree char* root = g_canonicalize_filename(folder, nullptr);
  server.root = root;
  g_autoptr(SoupServer) soup = soup_server_new(nullptr, nullptr);
  soup_server_add_handler(soup, nullptr, Answer, &server, nullptr);
  g_autoptr(GInetAddress) loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
  g_autoptr(GSocketAddress) address = g_inet_socket_address_new(loopback, static_cast<guint16>(port));
  g_autoptr(GError) error = nullptr;
  if (!soup_server_listen(soup, address, static_cast<SoupServerListenOptions>(0), &error)) {
    std::fprintf(stderr, "bench_isolated_server: %s\n", error->message);
    return 1;
  }
  g_autoptr(GSList) uris = soup_server_get_uris(soup);
  std::printf("serving http://127.0.0.1:%d/\n", g_uri_get_port(static_cast<GUri*>(uris->data)));
  std::fflush(stdout);
  for (GSList* item = uris; item; item = item->next) g_uri_unref(static_cast<GUri*>(item->data));
  g_autoptr(GMainLoop) loop = g_main_loop_new(nullptr, FALSE);
  g_main_loop_run(loop);
  return 0;
}
