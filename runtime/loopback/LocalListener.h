#pragma once
// Accepts the loopback server's connections and keeps their number and
// their idleness bounded. Any local process of any user can connect to the
// server's port, and each connection the server holds costs the thread that
// runs the window a little; a flood of connections that never ask anything,
// or that ask without the secret and stay open, must not keep the view's own
// requests from being answered.
//
// So at most kMaxConnections are held. A connection with no request in
// progress (none read yet, or the last one answered) is idle; one idle for
// longer than kIdleSeconds is closed, and when a new connection would pass
// the limit the connection idle for longest makes room for it. A connection
// with a request in progress is never closed here, and a new one that finds
// every held connection busy is turned away: the engine reconnects, and an
// answered request frees a place again.
//
// The server keeps a connection open for the next request only while it has
// a listener of its own; without one it closes every connection after its
// first answer, and the engine then opens a new connection for each file (a
// page of many small modules pays a connect per file). So the server is also
// given a listener nobody can reach: a local socket whose name is removed
// once it listens. Every real connection still comes through this class.
#include <libsoup/soup.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/linux/GObjectPtr.h"

class LocalListener {
 public:
  static constexpr std::size_t kMaxConnections = 64;
  static constexpr int kIdleSeconds = 15;

  // Hands every accepted connection to `server`, which must outlive this.
  explicit LocalListener(SoupServer* server);
  ~LocalListener();
  LocalListener(const LocalListener&) = delete;
  LocalListener& operator=(const LocalListener&) = delete;

  // Listens on the address; false with the system's error when it cannot.
  bool Listen(GSocketAddress* address, GError** error);

  // How many connections are held now, for the trace.
  std::size_t Count() const { return m_connections.size(); }

 private:
  struct Connection {
    GSocketConnection* stream;  // not owned: the server holds it; a weak reference tells when it goes
    std::string peer;           // the client's address and port, which the server's messages name too
    int busy = 0;               // requests read and not yet answered
    gint64 idleSince = 0;       // monotonic microseconds
    bool closing = false;
  };

  static gboolean OnIncoming(GSocketService* service, GSocketConnection* stream, GObject* source, gpointer self);
  static void OnRequestRead(SoupServer* server, SoupServerMessage* message, gpointer self);
  static void OnRequestDone(SoupServer* server, SoupServerMessage* message, gpointer self);
  static void OnStreamGone(gpointer self, GObject* stream);
  static gboolean OnTick(gpointer self);

  Connection* Find(SoupServerMessage* message);
  // Room for one more connection: false when every held connection is busy.
  bool MakeRoom();
  static void Close(Connection& connection);
  // Gives the server the listener nobody can reach (see above).
  static bool KeepConnectionsOpen(SoupServer* server, GError** error);

  SoupServer* m_server;  // not owned
  GObjectPtr<GSocketService> m_service;
  std::vector<Connection> m_connections;
  guint m_tick = 0;
  gulong m_readHandler = 0, m_finishedHandler = 0, m_abortedHandler = 0;
};
