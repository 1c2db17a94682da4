#pragma once
// Full screen for a frame on a window system where the compositor places
// windows (Wayland). The view makes a frame full screen the way any window
// system understands: decorations off, then the frame moved and sized to
// cover its monitor. A Wayland client cannot place its window, so that
// rectangle would only make a large undecorated window wherever the
// compositor puts it. The backend therefore reads an undecorated frame
// asked to cover exactly one monitor as a request for full screen on that
// monitor, which the compositor does carry out, and any later rectangle or
// decorated style as leaving it again. This class makes that decision and
// remembers the state it led to; it knows nothing of the toolkit, so that
// the decision is tested without a display.
#include <optional>
#include <span>

#include "com/Types.h"

class CompositorFullScreen {
 public:
  enum class Step {
    // Nothing to ask of the compositor; the window is moved and sized as asked.
    Normal,
    // Ask for full screen on `monitor`; the compositor sizes the window.
    Enter,
    // Already full screen on that monitor; nothing to move or size.
    Stay,
    // Ask to leave full screen, then move and size the window as asked.
    Leave,
  };
  struct Decision {
    Step step = Step::Normal;
    // The index into the monitors given, for Enter and Stay.
    int monitor = -1;
  };

  // The frame now has decorations or not and asks for `rect`; `monitors`
  // are the display's monitor rectangles in the toolkit's order. Returns
  // what to ask of the compositor and takes it as done.
  Decision Next(bool decorated, const RECT& rect, std::span<const RECT> monitors);

  // Whether the last decision left the frame full screen.
  bool Active() const { return m_monitor.has_value(); }

 private:
  std::optional<int> m_monitor;
};
