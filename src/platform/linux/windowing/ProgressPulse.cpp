#include "platform/linux/windowing/ProgressPulse.h"

#include <utility>

namespace {

gboolean OnPulse(gpointer bar) {
  gtk_progress_bar_pulse(GTK_PROGRESS_BAR(bar));
  return G_SOURCE_CONTINUE;
}

}  // namespace

ProgressPulse::ProgressPulse(ProgressPulse&& other) noexcept
    : m_source(std::exchange(other.m_source, 0)) {}

ProgressPulse& ProgressPulse::operator=(ProgressPulse&& other) noexcept {
  if (this != &other) {
    Stop();
    m_source = std::exchange(other.m_source, 0);
  }
  return *this;
}

ProgressPulse::~ProgressPulse() { Stop(); }

void ProgressPulse::Start(GtkWidget* bar, guint intervalMs) {
  Stop();
  m_source = g_timeout_add(intervalMs, OnPulse, bar);
}

void ProgressPulse::Stop() {
  if (m_source) g_source_remove(std::exchange(m_source, 0));
}

LRESULT ProgressPulse::ControlMessage(GtkWidget* bar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != PBM_SETMARQUEE) return 0;
  if (wParam)
    Start(bar, lParam > 0 ? static_cast<guint>(lParam) : 30);
  else
    Stop();
  return TRUE;
}
