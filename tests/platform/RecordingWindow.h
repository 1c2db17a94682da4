#pragma once
// A window for tests: records every message its map sees and lets a test
// handle chosen messages with a closure.
#include <functional>
#include <map>
#include <vector>

#include "platform/CWindowImplBase.h"

class RecordingWindow : public CWindowImplBase {
 public:
  struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  using Handler = std::function<bool(WPARAM, LPARAM, LRESULT&)>;

  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override {
    seen.push_back(Seen{hwnd, message, wParam, lParam});
    if (log) log->push_back({hwnd, message});
    auto it = handlers.find(message);
    if (it != handlers.end()) return it->second(wParam, lParam, result);
    return false;
  }

  std::vector<UINT> Messages() const {
    std::vector<UINT> out;
    for (const Seen& s : seen) out.push_back(s.message);
    return out;
  }
  int Count(UINT message) const {
    int n = 0;
    for (const Seen& s : seen) n += s.message == message;
    return n;
  }

  std::vector<Seen> seen;
  std::map<UINT, Handler> handlers;
  // A log shared by several windows, to check the order between them.
  std::vector<std::pair<HWND, UINT>>* log = nullptr;
};
