// The local server's secret under a display: what other local servers are
// sent, the engine's network process ending under a page, and a flood of
// connections from another client, each with the real engine.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <libsoup/soup.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "tests/gui/runtime/RuntimeGuiCase.h"
#include "tests/runtime/LocalWebServer.h"

namespace {

// A page that references another server by every road that sends cookies, or
// (without one) asks for a local file every 200 ms and confirms each answer.
constexpr char kSecretPage[] = R"html(<!doctype html><html><body><script>
const web = new URLSearchParams(location.search).get("web");
if (web) {
  document.body.innerHTML = `<img src="${web}/img"><iframe src="${web}/frame"></iframe>`;
  fetch(web + "/fetch", {credentials: "include"}).catch(() => {}).finally(() => setTimeout(() => fetch("refs-done.txt"), 1000));
} else {
  let n = 0;
  setInterval(() => { const i = n++; fetch("tick.txt?n=" + i).then(r => r.ok && fetch("answered.txt?n=" + i)).catch(() => {}); }, 200);
}
</script></body></html>
)html";

class SecretGuiTest : public RuntimeGuiCase {
 protected:
  void SetUp() override {
    RuntimeGuiCase::SetUp();
    AddFile("secret.html", kSecretPage);
    AddFile("tick.txt", "tick");
    Start();
  }
  // How many local fetches the page saw answered.
  size_t Answered() const {
    return std::count_if(m_host->requests.begin(), m_host->requests.end(), [](const std::string& uri) { return uri.find("answered.txt") != std::string::npos; });
  }
  // Runs until the page has seen `more` fetches answered.
  bool MoreAnswered(size_t more) {
    const size_t target = Answered() + more;
    return m_host->RunUntil([&] { return Answered() >= target; });
  }
};

TEST_F(SecretGuiTest, NoOtherLocalServerIsSentTheSecretAndNothingItWasSentOpensAFile) {
  // Another local server, standing for a development server: records each request's path and headers.
  using Headers = std::vector<std::pair<std::string, std::string>>;
  std::vector<std::pair<std::string, Headers>> requests;
  LocalWebServer web([&](SoupServerMessage* message, const std::string& path) {
    soup_message_headers_foreach(soup_server_message_get_request_headers(message), +[](const char* name, const char* value, gpointer headers) {
      static_cast<Headers*>(headers)->emplace_back(name, value);
    }, &requests.emplace_back(path, Headers()).second);
  });
  ASSERT_NO_FATAL_FAILURE(Load("secret.html?web=" + web.origin, "refs-done.txt"));
  ASSERT_TRUE(m_host->RunUntil([&] { return requests.size() >= 3; }));
  const std::string server = ServerOrigin();
  for (const char* road : {"/img", "/frame", "/fetch"})
    EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), [&](const auto& r) { return r.first == road; })) << road;
  for (const auto& [path, headers] : requests) {
    SCOPED_TRACE(path);
    EXPECT_EQ(path.find("vellumview-local"), std::string::npos);
    Headers replayed;
    for (const auto& [name, value] : headers) {
      EXPECT_EQ((name + ": " + value).find("vellumview-local"), std::string::npos) << name << ": " << value;
      if (g_ascii_strcasecmp(name.c_str(), "Host") != 0) replayed.emplace_back(name, value);
    }
    // Replayed to the local server, with its own Host, the request still gets no file.
    const auto [status, body] = Fetch(server + "/etc/passwd", replayed);
    EXPECT_TRUE(status != 200 && body.find("root:") == std::string::npos) << status;
  }
  // The secret is never written to disk: nothing in the data folder holds the cookie, once the engine is gone.
  m_host.reset();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_userData)) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(FileText(entry.path()).find("vellumview-local"), std::string::npos) << entry.path();
  }
}

TEST_F(SecretGuiTest, ThePageKeepsItsFilesWhenTheEnginesNetworkProcessIsKilled) {
  ASSERT_EQ(m_host->Navigate(m_content.Url("secret.html")), S_OK);
  ASSERT_TRUE(MoreAnswered(3));
  for (int round = 0; round < 2; ++round) {
    const auto network = ChildrenNamed("WebKitNetworkProcess");
    ASSERT_FALSE(network.empty()) << "no network process among the children";
    ASSERT_EQ(kill(network.front(), SIGKILL), 0);
    EXPECT_TRUE(MoreAnswered(5)) << "round " << round;
  }
}

TEST_F(SecretGuiTest, ThePageIsAnsweredThroughAFloodOfIdleAndRefusedConnections) {
  ASSERT_EQ(m_host->Navigate(m_content.Url("secret.html")), S_OK);
  ASSERT_TRUE(MoreAnswered(3));
  const std::string origin = ServerOrigin();  // "http://<host>:<port>"
  const std::string host = origin.substr(7, origin.rfind(':') - 7);
  const int port = std::stoi(origin.substr(origin.rfind(':') + 1));
  std::atomic<bool> opened = false, release = false;
  std::thread flood([&] {
    std::vector<int> sockets;
    sockaddr_in address{};
    address.sin_family = AF_INET, address.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    const std::string refused = "GET /etc/passwd HTTP/1.1\r\nHost: " + origin.substr(7) + "\r\n\r\n";
    for (int i = 0; i < 300; ++i) {
      const int fd = socket(AF_INET, SOCK_STREAM, 0);
      if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && i % 2) (void)!write(fd, refused.data(), refused.size());
      sockets.push_back(fd);
    }
    opened = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (const int fd : sockets) close(fd);
  });
  const bool opened300 = m_host->RunUntil([&] { return opened.load(); });
  const bool answered = opened300 && MoreAnswered(10);
  release = true;
  flood.join();
  EXPECT_TRUE(answered) << "the page's fetches stopped being answered during the flood";
  EXPECT_TRUE(MoreAnswered(10)) << "after the flood";
}

}  // namespace
