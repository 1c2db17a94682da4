#pragma once
// Gives the page its say before the user closes the window. The close box,
// the window manager's close and Alt+F4 are held back while the engine asks
// the page (its beforeunload handlers, and the leave-page question when one
// of them asks to stay); only when the engine agrees does the window get the
// close request it would have had at once. A page without such a handler is
// agreed to at once, so the window closes as before.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include "platform/linux/GObjectPtr.h"

class PageCloseGuard {
 public:
  // `view` must outlive this object; `window` is the view's top-level window
  // (anything else leaves closing as it is).
  PageCloseGuard(WebKitWebView* view, GtkWidget* window);
  ~PageCloseGuard();
  PageCloseGuard(const PageCloseGuard&) = delete;
  PageCloseGuard& operator=(const PageCloseGuard&) = delete;

 private:
  static gboolean OnWindowEvent(GtkWidget* window, GdkEvent* event, gpointer self);
  static void OnViewClose(WebKitWebView* view, gpointer self);
  // True when the event is a request to close the window that the page has
  // not yet agreed to.
  bool Intercepts(const GdkEvent* event) const;

  WebKitWebView* m_view;             // not owned; outlives this object
  GObjectPtr<GtkWidget> m_window;    // null when the view is in no window
  gulong m_windowHandler = 0;
  gulong m_closeHandler = 0;
  bool m_asking = false;   // the page has been asked to close
  bool m_agreed = false;   // the page agreed; the next close request goes on
};
