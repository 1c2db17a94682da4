#pragma once
// A progress bar's running marquee: a GLib timer that pulses the bar. The
// timer belongs to this object and stops with it, so a bar that goes away
// never leaves a timer pulsing a dead widget.
#include <gtk/gtk.h>

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

 private:
  guint m_source = 0;
};
