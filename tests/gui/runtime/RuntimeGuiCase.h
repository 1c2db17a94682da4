#pragma once
// What every runtime GUI case starts from: a fresh copy of the test web
// application and a data folder of its own, a host started on them, and,
// when the case fails, the runtime's trace of that case and the addresses the
// host was asked for (a case that fails on a busy machine is seldom rerun by
// hand, so what the runtime did goes with the failure).
#include <gtest/gtest.h>
#include <libsoup/soup.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/gui/runtime/RuntimeHost.h"
#include "tests/gui/runtime/RuntimeTrace.h"
#include "tests/gui/runtime/TestContent.h"

// The pids of this process's children with this name.
inline std::vector<pid_t> ChildrenNamed(const std::string& name) {
  std::vector<pid_t> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string pid, comm, state;
    pid_t parent = 0;
    if (stat >> pid >> comm >> state >> parent && parent == getpid() && comm == "(" + name.substr(0, 15) + ")")
      children.push_back(std::stoi(pid));
  }
  return children;
}

class RuntimeGuiCase : public ::testing::Test {
 protected:
  void SetUp() override { m_traceStart = TraceSize(); }
  void TearDown() override {
    EXPECT_EQ(m_host ? m_host->reentrantCallbacks : 0, 0) << "a handler ran inside a call into the runtime";
    if (HasFailure() && m_host)
      for (const std::string& uri : m_host->requests) std::cerr << "requested " << uri << "\n";
    m_host.reset();
    std::filesystem::remove_all(m_userData);
    if (HasFailure()) {
      std::ifstream in(TracePath());
      in.seekg(m_traceStart);
      std::cerr << "runtime trace of this case:\n" << in.rdbuf();
    }
  }

  // Starts a host; a restart within one case keeps the data folder.
  void Start() {
    m_host = std::make_unique<RuntimeHost>(m_userData);
    ASSERT_NO_FATAL_FAILURE(m_host->Start());
  }
  // Runs until the host was asked, after its first `from` requests, for an address containing `text`.
  bool Saw(const std::string& text, std::size_t from = 0) {
    return m_host->RunUntil([&] {
      const auto& seen = m_host->requests;
      return std::any_of(seen.begin() + static_cast<std::ptrdiff_t>(std::min(from, seen.size())), seen.end(),
                         [&](const std::string& uri) { return uri.find(text) != std::string::npos; });
    });
  }
  // Runs xdotool with `args` on the test's display.
  static void Xdo(const std::string& args) {
    int status = -1;
    ASSERT_TRUE(g_spawn_command_line_sync(("xdotool " + args).c_str(), nullptr, nullptr, &status, nullptr) && status == 0) << args;
  }
  // A point of the host's window, in screen coordinates for xdotool.
  std::string ScreenPoint(int x, int y) const {
    int left = 0, top = 0;
    gdk_window_get_origin(gtk_widget_get_window(m_host->window), &left, &top);
    return std::to_string(left + x) + " " + std::to_string(top + y);
  }
  // Asks for `uri` with these headers besides, as a client of its own: from
  // another thread, as the runtime's server answers on this one's main loop.
  // The answer's status and body.
  std::pair<guint, std::string> Fetch(const std::string& uri,
                                      const std::vector<std::pair<std::string, std::string>>& headers = {}) {
    std::atomic<bool> done = false;
    std::pair<guint, std::string> answer;
    std::thread client([&] {
      g_autoptr(SoupSession) session = soup_session_new();
      g_autoptr(SoupMessage) message = soup_message_new("GET", uri.c_str());
      soup_message_add_flags(message, SOUP_MESSAGE_NO_REDIRECT);
      for (const auto& [name, value] : headers)
        soup_message_headers_replace(soup_message_get_request_headers(message), name.c_str(), value.c_str());
      g_autoptr(GBytes) body = soup_session_send_and_read(session, message, nullptr, nullptr);
      gsize size = 0;
      const char* bytes = body ? static_cast<const char*>(g_bytes_get_data(body, &size)) : nullptr;
      answer = {soup_message_get_status(message), bytes ? std::string(bytes, size) : std::string()};
      done = true;
    });
    m_host->RunUntil([&] { return done.load(); });
    client.join();
    return answer;
  }
  // Opens a page of the application (the test page with a mode in its query,
  // say) and waits for the request that says it is done.
  void Load(const std::string& page, const std::string& done) {
    ASSERT_EQ(m_host->Navigate(m_content.Url(page)), S_OK);
    ASSERT_TRUE(Saw(done)) << done;
  }
  // Writes a page (or any file) of the case into the application's folder.
  void AddFile(const std::string& name, const char* text) const {
    ASSERT_TRUE(g_file_set_contents((m_content.folder + "/" + name).c_str(), text, -1, nullptr)) << name;
  }
  static std::streamoff TraceSize() {
    std::ifstream in(TracePath(), std::ios::ate);
    return in ? static_cast<std::streamoff>(in.tellg()) : 0;
  }

  TestContent m_content;
  const std::string m_userData = TemporaryFolder("vellum-runtime-udf-XXXXXX");
  std::unique_ptr<RuntimeHost> m_host;
  std::streamoff m_traceStart = 0;
};
