#pragma once
// The runtime's loopback HTTP server for local content. It listens on
// 127.0.0.1 only, on the port of the environment's user-data folder, and
// answers only the view's own local pages (LocalRequestGuard). Each request
// is turned back into its file:// address and handed to the environment
// (ILocalRequestHandler), which offers it to the program as a
// WebResourceRequested event; the program's response (status, reason, its
// header block as the response headers, its stream as the body) becomes the
// HTTP response. A request the program leaves alone gets the runtime's own
// answer: the file's bytes with a type guessed from its name, or a byte
// range when asked for one, as media elements do.
//
// Every answer carries "Cache-Control: no-store": local files change under
// the application (that is what editing an application is), and the engine
// must never show a stale copy of one. That rule belongs to the transport,
// not to the program's header block.
#include <libsoup/soup.h>

#include <cstdint>
#include <memory>
#include <string>

#include "com/Types.h"
#include "platform/linux/GObjectPtr.h"
#include "runtime/loopback/ILocalRequestHandler.h"
#include "runtime/loopback/LocalRequestGuard.h"
#include "runtime/loopback/LoopbackAddress.h"

class LocalServer {
 public:
  // Listens on 127.0.0.1:port. A port that cannot be had fails with the
  // HRESULT of the system's error (an address in use: 0x80072740, the
  // system's WSAEADDRINUSE), so the environment is not created.
  static HRESULT Start(std::uint16_t port, std::string secret, ILocalRequestHandler* handler,
                       std::unique_ptr<LocalServer>* server);
  ~LocalServer();

  const LoopbackAddress& Address() const { return m_address; }

 private:
  LocalServer(std::uint16_t port, std::string secret, ILocalRequestHandler* handler);
  static void OnRequest(SoupServer* server, SoupServerMessage* message, const char* path, GHashTable* query,
                        gpointer self);
  void Serve(SoupServerMessage* message);
  // The runtime's own answer for a request the program did not answer.
  void ServeFile(SoupServerMessage* message, const std::string& fileUri, int context);
  // Status, reason and headers; the body follows separately.
  static void SetHead(SoupServerMessage* message, int status, const std::string& reason, const std::string& headerBlock);

  LoopbackAddress m_address;
  LocalRequestGuard m_guard;
  ILocalRequestHandler* m_handler;  // not owned: the environment owns this server
  GObjectPtr<SoupServer> m_server;
};
