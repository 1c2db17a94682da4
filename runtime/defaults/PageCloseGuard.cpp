#include "runtime/defaults/PageCloseGuard.h"

#include <gdk/gdkkeysyms.h>

PageCloseGuard::PageCloseGuard(WebKitWebView* view, GtkWidget* window) : m_view(view) {
  if (!GTK_IS_WINDOW(window)) return;
  m_window = GObjectPtr<GtkWidget>::Ref(window);
  // "event" runs before the window's own delete and key handlers, so the
  // program's close handling only ever sees a close the page agreed to.
  m_windowHandler = g_signal_connect(window, "event", G_CALLBACK(OnWindowEvent), this);
  m_closeHandler = g_signal_connect(view, "close", G_CALLBACK(OnViewClose), this);
}

PageCloseGuard::~PageCloseGuard() {
  if (m_windowHandler) g_signal_handler_disconnect(m_window.Get(), m_windowHandler);
  if (m_closeHandler) g_signal_handler_disconnect(m_view, m_closeHandler);
}

bool PageCloseGuard::Intercepts(const GdkEvent* event) const {
  if (m_agreed) return false;
  if (event->type == GDK_DELETE) return true;
  if (event->type != GDK_KEY_PRESS) return false;
  const GdkModifierType modifiers = gtk_accelerator_get_default_mod_mask();
  return event->key.keyval == GDK_KEY_F4 && (event->key.state & modifiers) == GDK_MOD1_MASK;
}

gboolean PageCloseGuard::OnWindowEvent(GtkWidget*, GdkEvent* event, gpointer data) {
  auto* self = static_cast<PageCloseGuard*>(data);
  if (!self->Intercepts(event)) return FALSE;
  // A page whose process does not answer cannot be asked: the user's close
  // must not wait for it.
  if (!webkit_web_view_get_is_web_process_responsive(self->m_view)) return FALSE;
  // The engine says nothing when the page keeps the window, so every close
  // request asks again; one made while the question is showing is answered
  // with it.
  self->m_asking = true;
  webkit_web_view_try_close(self->m_view);
  return TRUE;
}

void PageCloseGuard::OnViewClose(WebKitWebView*, gpointer data) {
  auto* self = static_cast<PageCloseGuard*>(data);
  // A page's own window.close() is no answer to a question and closes
  // nothing: one view is the whole window.
  if (!self->m_asking) return;
  self->m_asking = false;
  self->m_agreed = true;
  // The close request the window was about to handle, now going on to the
  // program as a close box would.
  gtk_window_close(GTK_WINDOW(self->m_window.Get()));
}
