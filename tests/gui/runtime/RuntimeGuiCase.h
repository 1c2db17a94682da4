#pragma once
// What every runtime GUI case starts from: a fresh copy of the test web
// application and a data folder of its own, a host started on them, and,
// when the case fails, the runtime's trace of that case and the addresses the
// host was asked for (a case that fails on a busy machine is seldom rerun by
// hand, so what the runtime did goes with the failure).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "tests/gui/runtime/RuntimeHost.h"
#include "tests/gui/runtime/RuntimeTrace.h"
#include "tests/gui/runtime/TestContent.h"

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
  // Runs until the host was asked for an address containing `text`.
  bool Saw(const std::string& text) {
    return m_host->RunUntil([&] { return !m_host->RequestContaining(text).empty(); });
  }
  // Opens the test page in a mode and waits for the request that says it is done.
  void Load(const std::string& query, const std::string& done) {
    ASSERT_EQ(m_host->Navigate(m_content.Url("index.html" + query)), S_OK);
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
