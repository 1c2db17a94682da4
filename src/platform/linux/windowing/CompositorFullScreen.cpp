#include "platform/linux/windowing/CompositorFullScreen.h"

#include <cstddef>

namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

CompositorFullScreen::Decision CompositorFullScreen::Next(bool decorated, const RECT& rect,
                                                          std::span<const RECT> monitors) {
  // Only an undecorated frame covering a monitor exactly is full screen: a
  // decorated window as large as the monitor is one the user or the page
  // sized, and it keeps its title bar.
  if (!decorated) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
      if (!SameRect(rect, monitors[i])) continue;
      const int monitor = static_cast<int>(i);
      const Step step = m_monitor == monitor ? Step::Stay : Step::Enter;
      m_monitor = monitor;
      return Decision{step, monitor};
    }
  }
  if (!m_monitor) return Decision{};
  m_monitor.reset();
  return Decision{Step::Leave};
}
