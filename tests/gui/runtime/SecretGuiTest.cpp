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
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "tests/gui/runtime/LocalWebServer.h"
#include "tests/gui/runtime/RuntimeGuiCase.h"

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

// The pid of this process's child with this name, 0 for none.
pid_t ChildNamed(const std::string& name) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    pid_t parent = 0;
    if (stat >> pid >> comm >> state >> parent && parent == getpid() && comm == "(" + name.substr(0, 15) + ")") return std::stoi(pid);
  }
  return 0;
}

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
  // Another local server, standing for a development server: records each request's path, then "\nName: value" per header.
  std::vector<std::string> requests;
  LocalWebServer web([&](SoupServerMessage* message, const std::string& path) {
    soup_message_headers_foreach(soup_server_message_get_request_headers(message), +[](const char* name, const char* value, gpointer text) {
      *static_cast<std::string*>(text) += std::string("\n") + name + ": " + value;
    }, &requests.emplace_back(path));
  });
  ASSERT_EQ(m_host->Navigate(m_content.Url("secret.html?web=" + web.origin)), S_OK);
  ASSERT_TRUE(Saw("refs-done.txt"));
  ASSERT_TRUE(m_host->RunUntil([&] { return requests.size() >= 3; }));
  const std::string server = ServerOrigin();
  for (const char* road : {"/img\n", "/frame\n", "/fetch\n"})
    EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), [&](const std::string& r) { return r.rfind(road, 0) == 0; })) << road;
  for (const std::string& request : requests) EXPECT_EQ(request.find("vellumview-local"), std::string::npos) << request;
  // Replayed to the local server, with its own Host, each request still gets no file.
  std::atomic<bool> done = false;
  std::vector<std::pair<guint, bool>> answers;
  std::thread client([&] {
    g_autoptr(SoupSession) session = soup_session_new();
    for (const std::string& request : requests) {
      g_autoptr(SoupMessage) message = soup_message_new("GET", (server + "/etc/passwd").c_str());
      soup_message_add_flags(message, SOUP_MESSAGE_NO_REDIRECT);
      g_auto(GStrv) lines = g_strsplit(request.c_str(), "\n", -1);
      for (gchar** line = lines + 1; *line; ++line)
        if (const char* colon = strstr(*line, ": "); colon && g_ascii_strncasecmp(*line, "Host:", 5) != 0)
          soup_message_headers_replace(soup_message_get_request_headers(message), std::string(*line, static_cast<size_t>(colon - *line)).c_str(), colon + 2);
      g_autoptr(GBytes) body = soup_session_send_and_read(session, message, nullptr, nullptr);
      const std::string text = body ? std::string(static_cast<const char*>(g_bytes_get_data(body, nullptr)), g_bytes_get_size(body)) : "";
      answers.emplace_back(soup_message_get_status(message), text.find("root:") != std::string::npos);
    }
    done = true;
  });
  m_host->RunUntil([&] { return done.load(); });
  client.join();
  for (const auto& [status, leaked] : answers) EXPECT_TRUE(status != 200 && !leaked) << status;
  // The secret is never written to disk: nothing in the data folder holds the cookie, once the engine is gone.
  m_host.reset();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_userData)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find("vellumview-local"), std::string::npos) << entry.path();
  }
}

TEST_F(SecretGuiTest, ThePageKeepsItsFilesWhenTheEnginesNetworkProcessIsKilled) {
  ASSERT_EQ(m_host->Navigate(m_content.Url("secret.html")), S_OK);
  ASSERT_TRUE(MoreAnswered(3));
  for (int round = 0; round < 2; ++round) {
    const pid_t network = ChildNamed("WebKitNetworkProcess");
    ASSERT_NE(network, 0) << "no network process among the children";
    ASSERT_EQ(kill(network, SIGKILL), 0);
    EXPECT_TRUE(MoreAnswered(5)) << "round " << round;
  }
}

// The page's fetch times during the flood go to the output for the bench notes; nothing is timed here.
TEST_F(SecretGuiTest, ThePageIsAnsweredThroughAFloodOfIdleAndRefusedConnections) {
  ASSERT_EQ(m_host->Navigate(m_content.Url("secret.html")), S_OK);
  ASSERT_TRUE(MoreAnswered(3));
  gint64 start = g_get_monotonic_time();
  ASSERT_TRUE(MoreAnswered(10));
  std::cout << "before the flood: 10 answers in " << (g_get_monotonic_time() - start) / 1000 << " ms\n";
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
  start = g_get_monotonic_time();
  const bool answered = opened300 && MoreAnswered(10);
  std::cout << "during the flood: 10 answers in " << (g_get_monotonic_time() - start) / 1000 << " ms (asked every 200 ms)\n";
  release = true;
  flood.join();
  EXPECT_TRUE(answered) << "the page's fetches stopped being answered during the flood";
  start = g_get_monotonic_time();
  EXPECT_TRUE(MoreAnswered(10));
  std::cout << "after the flood: 10 answers in " << (g_get_monotonic_time() - start) / 1000 << " ms\n";
}

}  // namespace
