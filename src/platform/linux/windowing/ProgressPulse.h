#pragma once
// A progress bar's running marquee: a GLib timer that pulses the bar. The
// timer belongs to this object and stops with it, so a bar that goes away
// never leaves a timer pulsing a dead widget.
#include <gtk/gtk.h>

#include "platform/WindowMessages.h"

class ProgressPulse {
 public:
  ProgressPulse() = default;
  ProgressPulse(ProgressPulse&& other) noexcept;
  ProgressPulse& operator=(ProgressPulse&& other) noexcept;
  ProgressPulse(const ProgressPulse&) = delete;
  ProgressPulse& operator=(const ProgressPulse&) = delete;
  ~ProgressPulse();

  // Pulses the bar every `intervalMs` milliseconds, replacing a running
  // marquee.
  void Start(GtkWidget* bar, guint intervalMs);
  void Stop();
  // A message the program sends to the bar: PBM_SETMARQUEE starts the
  // marquee (lParam the interval, 30 ms when not positive) or stops it.
  // Returns the message's result; other messages give 0.
  LRESULT ControlMessage(GtkWidget* bar, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  guint m_source = 0;
};
