#pragma once
// The runtime's loopback HTTP server for local content. It listens on the
// loopback address and port of the environment's user-data folder only
// (LoopbackAddress), within bounds on its connections (LocalListener), and
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
//
// A request of the view's own pages that comes without the secret (the
// engine's network process ended and its successor has no cookie) is held
// while the server asks for the cookie to be given again, and is then
// answered "307 Temporary Redirect" to its own address, which the engine
// follows with the cookie: the page's request succeeds on that retry. The
// cookie is given again at most once in kRestoreIntervalMs. Right after it
// was, up to kQuickRedirects such requests (made before the engine had it)
// are redirected at once; later ones wait for the next time it is given. So
// a request that can never carry the cookie ends after the engine's limit
// of redirects, and a flood of requests without the secret costs at most
// one cookie a second.
#include <libsoup/soup.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "com/Types.h"
#include "platform/linux/GObjectPtr.h"
#include "runtime/loopback/ILocalRequestHandler.h"
#include "runtime/loopback/LocalListener.h"
#include "runtime/loopback/LocalRequestGuard.h"
#include "runtime/loopback/LoopbackAddress.h"

class LocalServer {
 public:
  // Listens on the address's host and port. A port that cannot be had fails
  // with the HRESULT of the system's error (an address in use: 0x80072740,
  // the system's WSAEADDRINUSE), so the environment is not created.
  static HRESULT Start(LoopbackAddress address, std::string secret, ILocalRequestHandler* handler,
                       std::unique_ptr<LocalServer>* server);
  ~LocalServer();

  const LoopbackAddress& Address() const { return m_address; }

  static constexpr int kRestoreIntervalMs = 1000;
  static constexpr int kQuickRedirects = 8;

 private:
  LocalServer(LoopbackAddress address, std::string secret, ILocalRequestHandler* handler);
  static void OnRequest(SoupServer* server, SoupServerMessage* message, const char* path, GHashTable* query,
                        gpointer self);
  void Serve(SoupServerMessage* message);
  // Holds a request without the secret until the engine has the cookie again.
  void AwaitSecret(SoupServerMessage* message, const std::string& fileUri);
  void RestoreSecret();
  void OnSecretRestored();
  static void OnWaitingDisconnected(SoupServerMessage* message, gpointer self);
  // The runtime's own answer for a request the program did not answer.
  void ServeFile(SoupServerMessage* message, const std::string& fileUri, int context);
  // Status, reason and headers; the body follows separately.
  static void SetHead(SoupServerMessage* message, int status, const std::string& reason, const std::string& headerBlock);

  LoopbackAddress m_address;
  LocalRequestGuard m_guard;
  ILocalRequestHandler* m_handler;  // not owned: the environment owns this server
  GObjectPtr<SoupServer> m_server;
  std::unique_ptr<LocalListener> m_listener;  // after the server: it is let go of first
  std::vector<GObjectPtr<SoupServerMessage>> m_waiting;  // paused until the secret is back
  bool m_restoring = false;
  gint64 m_restoredAt = 0;  // monotonic microseconds; 0: never
  int m_quickRedirects = 0;
  guint m_restoreTimer = 0;
  // Told to the environment's callbacks, which may come after this server is gone.
  std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};
