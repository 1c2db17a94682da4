#include "runtime/defaults/PageZoom.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The levels keys and the wheel stop at, as browsers have them.
constexpr double kSteps[] = {0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25,
                             1.5,  1.75, 2.0, 2.5,  3.0,  4.0, 5.0};
// Levels closer than this count as the same step: the engine hands back the
// level it was given only up to rounding.
constexpr double kSame = 0.005;

}  // namespace

double PageZoom::Clamp(double level) {
  if (!std::isfinite(level)) return 1.0;
  return std::clamp(level, kSmallest, kLargest);
}

double PageZoom::Step(double current, int direction) {
  if (direction > 0) {
    for (double step : kSteps)
      if (step > current + kSame) return step;
    return kLargest;
  }
  for (auto it = std::rbegin(kSteps); it != std::rend(kSteps); ++it)
    if (*it < current - kSame) return *it;
  return kSmallest;
}

bool PageZoom::OnScroll(const GdkEventScroll* event) {
  if (!(event->state & GDK_CONTROL_MASK)) return false;
  int notches = 0;
  switch (event->direction) {
    case GDK_SCROLL_UP: notches = 1; break;
    case GDK_SCROLL_DOWN: notches = -1; break;
    case GDK_SCROLL_SMOOTH:
      // Scrolling down (a positive delta) zooms out, as a wheel notch down does.
      m_smoothDelta -= event->delta_y;
      if (std::abs(m_smoothDelta) >= 1.0) {
        notches = m_smoothDelta > 0 ? 1 : -1;
        m_smoothDelta = 0;
      }
      break;
    default: return false;  // sideways: not a zoom, but not a scroll of the page either
  }
  if (notches > 0) ZoomIn();
  if (notches < 0) ZoomOut();
  return true;
}
