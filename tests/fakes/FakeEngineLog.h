#pragma once
// The call record shared by the objects of one fake engine, so that a test
// can check the order of calls across the environment, the controller, the
// web view and its settings.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FakeEngineLog {
 public:
  void Add(std::string call) { m_calls.push_back(std::move(call)); }
  const std::vector<std::string>& Calls() const { return m_calls; }
  void Clear() { m_calls.clear(); }

  // How many calls start with `prefix`.
  int Count(std::string_view prefix) const {
    int n = 0;
    for (const auto& call : m_calls) {
      if (std::string_view(call).substr(0, prefix.size()) == prefix) ++n;
    }
    return n;
  }

 private:
  std::vector<std::string> m_calls;
};
