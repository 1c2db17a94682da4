#include "runtime/loopback/LocalListener.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "runtime/loopback/RequestTrace.h"

namespace {

// Marks a message whose request was read and counted as busy, so that its
// end is counted once, and not for a message that ended before its request
// was read (a client that went away while the connection waited).
constexpr char kCountedKey[] = "vellumview-counted";

// How many connections wait to be accepted while the window's thread is busy:
// the system's default of a few would make the view's own connections wait
// for a retry of their connect during a flood.
constexpr int kBacklog = 256;

std::string PeerText(GSocketAddress* address) {
  if (!G_IS_INET_SOCKET_ADDRESS(address)) return {};
  auto* inet = G_INET_SOCKET_ADDRESS(address);
  g_autofree char* host = g_inet_address_to_string(g_inet_socket_address_get_address(inet));
  return std::string(host) + ":" + std::to_string(g_inet_socket_address_get_port(inet));
}

}  // namespace

LocalListener::LocalListener(SoupServer* server)
    : m_server(server), m_service(GObjectPtr<GSocketService>::Adopt(g_socket_service_new())) {
  g_socket_listener_set_backlog(G_SOCKET_LISTENER(m_service.Get()), kBacklog);
  g_signal_connect(m_service.Get(), "incoming", G_CALLBACK(&LocalListener::OnIncoming), this);
  m_readHandler = g_signal_connect(server, "request-read", G_CALLBACK(&LocalListener::OnRequestRead), this);
  m_finishedHandler = g_signal_connect(server, "request-finished", G_CALLBACK(&LocalListener::OnRequestDone), this);
  m_abortedHandler = g_signal_connect(server, "request-aborted", G_CALLBACK(&LocalListener::OnRequestDone), this);
  m_tick = g_timeout_add_seconds(1, &LocalListener::OnTick, this);
}

LocalListener::~LocalListener() {
  g_source_remove(m_tick);
  for (const gulong handler : {m_readHandler, m_finishedHandler, m_abortedHandler})
    g_signal_handler_disconnect(m_server, handler);
  g_socket_service_stop(m_service.Get());
  g_socket_listener_close(G_SOCKET_LISTENER(m_service.Get()));
  g_signal_handlers_disconnect_by_data(m_service.Get(), this);
  for (const Connection& connection : m_connections)
    g_object_weak_unref(G_OBJECT(connection.stream), &LocalListener::OnStreamGone, this);
}

bool LocalListener::Listen(GSocketAddress* address, GError** error) {
  if (!g_socket_listener_add_address(G_SOCKET_LISTENER(m_service.Get()), address, G_SOCKET_TYPE_STREAM,
                                     G_SOCKET_PROTOCOL_TCP, nullptr, nullptr, error))
    return false;
  g_socket_service_start(m_service.Get());
  // Without it every answer costs the engine a new connection, which is
  // slower but still correct, so a failure here is traced and not fatal.
  g_autoptr(GError) keepError = nullptr;
  if (!KeepConnectionsOpen(m_server, &keepError))
    RequestTrace::Instance().Event("local-keep-alive-failed", "", {{"error", keepError ? keepError->message : ""}});
  return true;
}

bool LocalListener::KeepConnectionsOpen(SoupServer* server, GError** error) {
  // A socket in a folder of its own, only this user's, whose name goes
  // with the folder as soon as it listens: nothing can connect to it then.
  g_autofree char* folder = g_dir_make_tmp("vellumview-XXXXXX", error);
  if (!folder) return false;
  const std::string path = std::string(folder) + "/s";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool fits = path.size() < sizeof address.sun_path;
  if (fits) std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const bool listening = fd >= 0 && fits &&
                         ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                         ::listen(fd, 1) == 0;
  const int saved = errno;
  ::unlink(path.c_str());
  ::rmdir(folder);
  if (!listening) {
    if (fd >= 0) ::close(fd);
    g_set_error(error, G_IO_ERROR, g_io_error_from_errno(fits ? saved : ENAMETOOLONG), "%s",
                g_strerror(fits ? saved : ENAMETOOLONG));
    return false;
  }
  g_autoptr(GSocket) socket = g_socket_new_from_fd(fd, error);
  if (!socket) {
    ::close(fd);
    return false;
  }
  return soup_server_listen_socket(server, socket, static_cast<SoupServerListenOptions>(0), error);
}

gboolean LocalListener::OnIncoming(GSocketService*, GSocketConnection* stream, GObject*, gpointer self) {
  auto* listener = static_cast<LocalListener*>(self);
  // A connection not taken here is closed when the service lets go of it.
  if (!listener->MakeRoom()) {
    RequestTrace::Instance().Event("local-connection-refused", "", {{"held", std::to_string(listener->Count())}});
    return TRUE;
  }
  // An answer goes out as its head and then its body, two small writes;
  // on a connection kept open, waiting to join them would hold every small
  // file until the engine acknowledged its head.
  g_socket_set_option(g_socket_connection_get_socket(stream), IPPROTO_TCP, TCP_NODELAY, TRUE, nullptr);
  g_autoptr(GSocketAddress) local = g_socket_connection_get_local_address(stream, nullptr);
  g_autoptr(GSocketAddress) remote = g_socket_connection_get_remote_address(stream, nullptr);
  if (!local || !remote || !soup_server_accept_iostream(listener->m_server, G_IO_STREAM(stream), local, remote, nullptr))
    return TRUE;
  g_object_weak_ref(G_OBJECT(stream), &LocalListener::OnStreamGone, self);
  listener->m_connections.push_back({stream, PeerText(remote), 0, g_get_monotonic_time(), false});
  return TRUE;
}

bool LocalListener::MakeRoom() {
  std::size_t open = 0;
  Connection* oldestIdle = nullptr;
  for (Connection& connection : m_connections) {
    if (connection.closing) continue;
    ++open;
    if (connection.busy == 0 && (!oldestIdle || connection.idleSince < oldestIdle->idleSince)) oldestIdle = &connection;
  }
  if (open < kMaxConnections) return true;
  if (!oldestIdle) return false;
  Close(*oldestIdle);
  return true;
}

void LocalListener::Close(Connection& connection) {
  // Shut down rather than closed: the server still reads the connection, and
  // it sees its end there and lets go of it in its own time.
  connection.closing = true;
  g_socket_shutdown(g_socket_connection_get_socket(connection.stream), TRUE, TRUE, nullptr);
}

LocalListener::Connection* LocalListener::Find(SoupServerMessage* message) {
  const std::string peer = PeerText(soup_server_message_get_remote_address(message));
  const auto found = std::find_if(m_connections.begin(), m_connections.end(),
                                  [&](const Connection& connection) { return connection.peer == peer; });
  return found == m_connections.end() ? nullptr : &*found;
}

void LocalListener::OnRequestRead(SoupServer*, SoupServerMessage* message, gpointer self) {
  Connection* connection = static_cast<LocalListener*>(self)->Find(message);
  if (!connection) return;
  ++connection->busy;
  g_object_set_data(G_OBJECT(message), kCountedKey, GINT_TO_POINTER(1));
}

void LocalListener::OnRequestDone(SoupServer*, SoupServerMessage* message, gpointer self) {
  if (!g_object_get_data(G_OBJECT(message), kCountedKey)) return;
  g_object_set_data(G_OBJECT(message), kCountedKey, nullptr);
  Connection* connection = static_cast<LocalListener*>(self)->Find(message);
  if (!connection || connection->busy == 0) return;
  if (--connection->busy == 0) connection->idleSince = g_get_monotonic_time();
}

void LocalListener::OnStreamGone(gpointer self, GObject* stream) {
  auto& connections = static_cast<LocalListener*>(self)->m_connections;
  std::erase_if(connections, [&](const Connection& connection) { return G_OBJECT(connection.stream) == stream; });
}

gboolean LocalListener::OnTick(gpointer self) {
  const gint64 limit = g_get_monotonic_time() - gint64{kIdleSeconds} * G_USEC_PER_SEC;
  for (Connection& connection : static_cast<LocalListener*>(self)->m_connections)
    if (!connection.closing && connection.busy == 0 && connection.idleSince < limit) Close(connection);
  return G_SOURCE_CONTINUE;
}
