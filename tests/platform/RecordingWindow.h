#pragma once
// A window for tests: records every message its map sees and lets a test
// handle chosen messages with a closure.
#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "window/CWindowImplBase.h"

class RecordingWindow : public CWindowImplBase {
 public:
  // A top-level window, or a visible child of `parent`.
  HWND Frame(const RECT* rect = nullptr) { return Create(nullptr, rect, u"", WS_OVERLAPPEDWINDOW); }
  HWND Child(HWND parent, const RECT* rect = nullptr) { return Create(parent, rect, u"", WS_CHILD | WS_VISIBLE); }

  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    seen.push_back(MSG{hwnd, message, wParam, lParam});
    if (log) log->emplace_back(hwnd, message);
    const auto it = handlers.find(message);
    return it != handlers.end() && it->second(wParam, lParam, result);
  }

  std::vector<UINT> Messages() const {
    std::vector<UINT> out;
    for (const MSG& s : seen) out.push_back(s.message);
    return out;
  }
  int Count(UINT message) const { return static_cast<int>(std::ranges::count(Messages(), message)); }

  std::vector<MSG> seen;
  std::map<UINT, std::function<bool(WPARAM, LPARAM, LRESULT&)>> handlers;
  // A log shared by several windows, to check the order between them.
  std::vector<std::pair<HWND, UINT>>* log = nullptr;
};
