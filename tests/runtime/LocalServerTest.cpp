// The loopback server over a real connection from a plain socket client:
// which answers keep the connection open for the engine's next request, and
// which end it.
#include "runtime/loopback/LocalServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "tests/util/TemporaryDirectory.h"

namespace {

// Leaves every request to the server, which then serves the file itself.
struct ServeEveryFile final : ILocalRequestHandler {
  Answer HandleLocalRequest(const std::string&, bool, COREWEBVIEW2_WEB_RESOURCE_CONTEXT) override {
    ++offered;
    return {Outcome::kOffered, nullptr};
  }
  void RestoreSecret(std::function<void()> done) override { done(); }
  int offered = 0;
};

// Reads one response (its head and a body of the length the head gives) while
// the server runs on this thread's main loop. Empty when the connection ends
// before a whole response came.
std::string ReadResponse(int fd) {
  std::string received;
  char buffer[4096];
  for (int quiet = 0; quiet < 5000;) {
    const std::size_t head = received.find("\r\n\r\n");
    if (head != std::string::npos) {
      const std::size_t length = received.find("Content-Length: ");
      const std::size_t bodySize = length < head ? std::stoul(received.substr(length + 16)) : 0;
      if (received.size() >= head + 4 + bodySize) return received;
    }
    const bool busy = g_main_context_iteration(nullptr, FALSE);
    const ssize_t n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
      received.append(buffer, static_cast<std::size_t>(n));
      quiet = 0;
    } else if (n == 0 || errno != EAGAIN) {
      return {};
    } else if (!busy) {
      ++quiet;
      usleep(1000);
    }
  }
  return {};
}

TEST(LocalServer, AnAnsweredRequestKeepsItsConnectionForTheNextAndARefusedOneEndsIt) {
  TemporaryDirectory folder;
  const std::string path = folder.WriteFile("a.txt", "first").string();
  const std::string host = LoopbackAddress::HostForFolder(folder.Path().string());
  const LoopbackAddress address(host, LoopbackAddress::PortForFolder(folder.Path().string()));
  ServeEveryFile handler;
  std::unique_ptr<LocalServer> server;
  ASSERT_EQ(LocalServer::Start(address, "secret", &handler, &server), S_OK);
  const std::string own = "Host: " + address.HostHeader() + "\r\nCookie: vellumview-local=secret\r\nSec-Fetch-Site: same-origin\r\n";
  const struct {
    const char* name;
    std::string request;
    const char* status;
    bool kept;
  } rows[] = {
      {"a file", "GET " + path + " HTTP/1.1\r\n" + own + "\r\n", "HTTP/1.1 200 ", true},
      {"a missing file", "GET " + path + ".gone HTTP/1.1\r\n" + own + "\r\n", "HTTP/1.1 404 ", true},
      {"a method the server does not take", "POST " + path + " HTTP/1.1\r\n" + own + "Content-Length: 0\r\n\r\n",
       "HTTP/1.1 405 ", true},
      {"the client's own wish to close", "GET " + path + " HTTP/1.1\r\n" + own + "Connection: close\r\n\r\n",
       "HTTP/1.1 200 ", false},
      {"no secret from another client", "GET " + path + " HTTP/1.1\r\nHost: " + address.HostHeader() + "\r\n\r\n",
       "HTTP/1.1 403 ", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(address.Port());
    inet_pton(AF_INET, host.c_str(), &peer.sin_addr);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&peer), sizeof peer), 0);
    ASSERT_EQ(send(fd, row.request.data(), row.request.size(), 0), static_cast<ssize_t>(row.request.size()));
    const std::string first = ReadResponse(fd);
    EXPECT_EQ(first.rfind(row.status, 0), 0u) << first;
    // The same connection asked again: an open one answers, an ended one reads its end.
    const std::string again = "GET " + path + " HTTP/1.1\r\n" + own + "\r\n";
    (void)!send(fd, again.data(), again.size(), MSG_NOSIGNAL);
    const std::string second = ReadResponse(fd);
    if (row.kept) {
      EXPECT_EQ(second.rfind("HTTP/1.1 200 ", 0), 0u) << "the connection was not kept for a second request";
      EXPECT_EQ(second.substr(second.size() - 5), "first");
    } else {
      EXPECT_EQ(second, "") << "the connection stayed open";
    }
    close(fd);
  }
  // Refused requests and methods the server does not take never reach the program.
  EXPECT_EQ(handler.offered, 6);
}

}  // namespace
