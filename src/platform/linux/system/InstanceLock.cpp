#include "platform/linux/system/InstanceLock.h"

#include <fcntl.h>
#include <glib-unix.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <thread>

#include "util/Strings.h"

namespace {
// What a later start sends and what the holder answers. Anything else on
// the socket is ignored.
constexpr char kRequest[] = "activate\n";
constexpr char kAnswer[] = "ok\n";
// How long either side waits for the other's line.
constexpr int kLineTimeoutMs = 1000;

// A stable 64-bit FNV-1a hash of the key, so that the file names carry no
// user text and stay short enough for a socket address.
std::string KeyHash(std::u16string_view key) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const unsigned char byte : WideToUtf8(key)) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, hash);
  return text;
}

bool FillAddress(const std::string& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

// Reads one short line with a deadline; empty on timeout or error.
std::string ReadLine(int fd) {
  pollfd waiting{fd, POLLIN, 0};
  if (::poll(&waiting, 1, kLineTimeoutMs) <= 0) return {};
  char buffer[32];
  const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
  return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

bool WriteAll(int fd, std::string_view text) {
  return ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
}
}  // namespace

InstanceLock::InstanceLock(std::string folder, GMainContext* context)
    : m_folder(std::move(folder)), m_context(context) {}

InstanceLock::~InstanceLock() {
  if (m_source) {
    g_source_destroy(m_source);
    g_source_unref(m_source);
  }
  // The socket file goes while the lock is still held, so a later start
  // never removes the socket of a newer holder.
  if (m_listener.IsValid()) ::unlink(m_socketPath.c_str());
}

InstanceClaim InstanceLock::Claim(std::u16string_view key, int waitMilliseconds) {
  const std::string name = m_folder + "/vellumview-" + KeyHash(key);
  m_lockPath = name + ".lock";
  m_socketPath = name + ".sock";
  m_lock = UniqueFd(::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  // Without a lock file the process cannot tell whether it is alone; it goes
  // on rather than refuse to start.
  if (!m_lock.IsValid()) return InstanceClaim::First;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
  for (;;) {
    if (::flock(m_lock.Get(), LOCK_EX | LOCK_NB) == 0) {
      Listen();
      return InstanceClaim::First;
    }
    if (AskHolder()) {
      m_lock.Reset();
      return InstanceClaim::HandedOver;
    }
    // The holder is starting (its socket is not there yet) or ending (its
    // loop no longer runs): either way it soon answers or lets go.
    if (std::chrono::steady_clock::now() >= deadline) {
      m_lock.Reset();
      return InstanceClaim::NoAnswer;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

bool InstanceLock::Listen() {
  sockaddr_un address;
  if (!FillAddress(m_socketPath, &address)) return false;
  UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!listener.IsValid()) return false;
  // A socket file left by a holder that crashed is stale: the lock is ours.
  ::unlink(m_socketPath.c_str());
  const mode_t previous = ::umask(0177);
  const bool bound = ::bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::umask(previous);
  if (!bound || ::listen(listener.Get(), 8) != 0) return false;
  m_listener = std::move(listener);
  m_source = g_unix_fd_source_new(m_listener.Get(), G_IO_IN);
  g_source_set_callback(m_source, G_SOURCE_FUNC(&InstanceLock::OnConnection), this, nullptr);
  g_source_attach(m_source, m_context);
  return true;
}

bool InstanceLock::AskHolder() const {
  sockaddr_un address;
  if (!FillAddress(m_socketPath, &address)) return false;
  UniqueFd connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!connection.IsValid()) return false;
  if (::connect(connection.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
  if (!WriteAll(connection.Get(), kRequest)) return false;
  return ReadLine(connection.Get()) == kAnswer;
}

gboolean InstanceLock::OnConnection(gint fd, GIOCondition, gpointer self) {
  UniqueFd connection(::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC));
  if (!connection.IsValid()) return G_SOURCE_CONTINUE;
  // The request comes right after the connection; a client that sends
  // nothing costs one bounded wait and is then dropped.
  if (ReadLine(connection.Get()) != kRequest) return G_SOURCE_CONTINUE;
  // The request is taken before it is answered, so that a start told "ok"
  // can rely on the window coming up.
  InstanceLock* lock = static_cast<InstanceLock*>(self);
  if (lock->m_onActivate) lock->m_onActivate();
  WriteAll(connection.Get(), kAnswer);
  return G_SOURCE_CONTINUE;
}
