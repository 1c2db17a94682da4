#pragma once
// The call record shared by the objects of one fake engine, so that a test
// can check the order of calls across the environment, the controller, the
// web view and its settings.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

class FakeEngineLog {
 public:
  void Add(std::string call) { m_calls.push_back(std::move(call)); }
  const std::vector<std::string>& Calls() const { return m_calls; }
  // How many calls start with `prefix`.
  int Count(std::string_view prefix) const {
    return int(std::ranges::count_if(m_calls, [&](const std::string& call) { return call.starts_with(prefix); }));
  }

 private:
  std::vector<std::string> m_calls;
};
