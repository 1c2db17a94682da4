#pragma once
// A web server of its own on a free loopback port, standing for any other
// server the view may reach (a web site, a local development server). Every
// request is answered 200, embeddable in an isolated page, after `handle` has
// seen it and added what it wants to the answer. The runtime GUI tests and
// the response body pump's test serve with it.
#include <libsoup/soup.h>

#include <functional>
#include <string>
#include <utility>

class LocalWebServer {
 public:
  using Handler = std::function<void(SoupServerMessage* message, const std::string& path)>;

  explicit LocalWebServer(Handler handle) : m_handle(std::move(handle)) {
    soup_server_add_handler(m_server, nullptr, &LocalWebServer::OnRequest, this, nullptr);
    soup_server_listen_local(m_server, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, nullptr);
    g_autoptr(GSList) uris = soup_server_get_uris(m_server);
    port = static_cast<guint>(g_uri_get_port(static_cast<GUri*>(uris->data)));
    origin = "http://127.0.0.1:" + std::to_string(port);
    for (GSList* item = uris; item; item = item->next) g_uri_unref(static_cast<GUri*>(item->data));
  }
  LocalWebServer(const LocalWebServer&) = delete;
  LocalWebServer& operator=(const LocalWebServer&) = delete;
  ~LocalWebServer() { g_object_unref(m_server); }

  guint port = 0;
  std::string origin;  // "http://127.0.0.1:<port>"

 private:
  static void OnRequest(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer self) {
    soup_message_headers_append(soup_server_message_get_response_headers(message), "Cross-Origin-Resource-Policy",
                                "cross-origin");
    soup_server_message_set_status(message, 200, nullptr);
    static_cast<LocalWebServer*>(self)->m_handle(message, path);
  }

  Handler m_handle;
  SoupServer* m_server = soup_server_new(nullptr, nullptr);
};
