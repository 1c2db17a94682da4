#pragma once
// Switches debug output on and collects every line written while the object
// lives; the previous sink and switch come back afterwards.
#include <string>
#include <string_view>
#include <vector>

#include "tests/util/ScopedEnvironmentVariable.h"
#include "util/DebugOutput.h"

class ScopedDebugOutputCapture {
 public:
  explicit ScopedDebugOutputCapture(const char* switchValue = "1")
      : m_switch(kDebugOutputVariable, switchValue),
        m_previous(SetDebugOutputSink([this](std::string_view line) { m_lines.emplace_back(line); })) {}
  ~ScopedDebugOutputCapture() { SetDebugOutputSink(std::move(m_previous)); }
  ScopedDebugOutputCapture(const ScopedDebugOutputCapture&) = delete;
  ScopedDebugOutputCapture& operator=(const ScopedDebugOutputCapture&) = delete;

  const std::vector<std::string>& Lines() const { return m_lines; }

 private:
  ScopedEnvironmentVariable m_switch;
  std::vector<std::string> m_lines;
  DebugOutputSink m_previous;
};
