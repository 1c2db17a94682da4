#include "runtime/defaults/ViewDefaults.h"

#include <string>
#include <utility>

#include "runtime/defaults/ScriptDialogTitle.h"

ViewDefaults::ViewDefaults(WebKitWebView* view, LinkStatusLine::AddressMap programUri)
    : m_view(view),
      m_overlay(GTK_WIDGET(g_object_ref_sink(gtk_overlay_new()))),
      m_pinch(gtk_gesture_zoom_new(GTK_WIDGET(view))),
      m_findBar(view),
      m_errorPage(view, programUri),
      m_contextMenu(programUri, [this] { Print(); }),
      m_statusLine(programUri),
      m_zoom(view),
      m_permissions(view, std::move(programUri)) {
  GtkWidget* widget = GTK_WIDGET(view);
  gtk_container_add(GTK_CONTAINER(m_overlay), widget);
  gtk_overlay_add_overlay(GTK_OVERLAY(m_overlay), m_errorPage.Panel());
  gtk_overlay_add_overlay(GTK_OVERLAY(m_overlay), m_errorPage.Notice());
  gtk_overlay_add_overlay(GTK_OVERLAY(m_overlay), m_findBar.Widget());
  gtk_overlay_add_overlay(GTK_OVERLAY(m_overlay), m_statusLine.Widget());
  // The status line sits over the page without taking its pointer.
  gtk_overlay_set_overlay_pass_through(GTK_OVERLAY(m_overlay), m_statusLine.Widget(), TRUE);
  gtk_overlay_add_overlay(GTK_OVERLAY(m_overlay), m_downloads.Widget());
  gtk_overlay_add_overlay(GTK_OVERLAY(m_overlay), m_permissions.Widget());
  gtk_widget_show(m_overlay);

  // The key reaches the page first; only a key the page leaves alone comes
  // back to the view's handlers after the engine's own, and so to this one.
  g_signal_connect_after(view, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(view, "button-press-event", G_CALLBACK(OnButtonPress), this);
  // Ctrl+wheel is taken before the page: the engine would scroll a page
  // that can scroll and report the wheel used, so a zoom that waited for an
  // unused wheel would happen on short pages only.
  g_signal_connect(view, "scroll-event", G_CALLBACK(OnScroll), this);
  g_signal_connect(view, "context-menu", G_CALLBACK(OnContextMenu), this);
  g_signal_connect(view, "permission-request", G_CALLBACK(OnPermissionRequest), this);
  g_signal_connect(view, "mouse-target-changed", G_CALLBACK(OnMouseTargetChanged), this);
  g_signal_connect(view, "leave-notify-event", G_CALLBACK(OnLeave), this);
  // A new page has none of the old one's links under the pointer, and asks
  // none of the old one's questions.
  g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), this);
  // Connected after the runtime's own handler, which takes the failures of
  // web addresses for itself; the error page replaces the engine's own.
  g_signal_connect(view, "load-failed", G_CALLBACK(OnLoadFailed), this);
  g_signal_connect_swapped(view, "web-process-terminated", G_CALLBACK(+[](ViewDefaults* self, WebKitWebProcessTerminationReason reason) {
                             self->m_errorPage.OnWebProcessTerminated(reason);
                           }), this);
  g_signal_connect_swapped(view, "notify::is-web-process-responsive", G_CALLBACK(+[](ViewDefaults* self) {
                             self->m_errorPage.OnResponsiveChanged();
                           }), this);
  // The browser keys also work while the error page has the focus, when the
  // page's process may be gone and no key comes back from it.
  g_signal_connect(m_errorPage.Panel(), "key-press-event", G_CALLBACK(OnKeyPress), this);
  // Connected after the runtime's own handler, which answers the dialog
  // unseen when the program has switched script dialogs off; this one runs
  // only when that one let the dialog through.
  g_signal_connect(view, "script-dialog", G_CALLBACK(OnScriptDialog), this);
  WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view);
  g_signal_connect(content, (std::string("script-message-received::") + BrowserKeys::kHistoryKeyMessage).c_str(),
                   G_CALLBACK(OnHistoryKey), this);
  webkit_user_content_manager_register_script_message_handler_in_world(content, BrowserKeys::kHistoryKeyMessage,
                                                                       BrowserKeys::kHistoryKeyWorld);
  WebKitUserScript* script = webkit_user_script_new_for_world(
      BrowserKeys::HistoryKeyScript(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES, WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START,
      BrowserKeys::kHistoryKeyWorld, nullptr, nullptr);
  webkit_user_content_manager_add_script(content, script);
  webkit_user_script_unref(script);
  WebKitFindController* find = webkit_web_view_get_find_controller(view);
  g_signal_connect(find, "counted-matches", G_CALLBACK(OnCountedMatches), this);
  g_signal_connect(find, "failed-to-find-text", G_CALLBACK(OnFailedToFind), this);
  gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(m_pinch), GTK_PHASE_BUBBLE);
  g_signal_connect_swapped(m_pinch, "begin", G_CALLBACK(+[](gpointer self) {
                             static_cast<ViewDefaults*>(self)->m_zoom.OnPinchBegin();
                           }),
                           this);
  g_signal_connect(m_pinch, "scale-changed", G_CALLBACK(+[](GtkGestureZoom*, double scale, gpointer self) {
                     static_cast<ViewDefaults*>(self)->m_zoom.OnPinchScale(scale);
                   }),
                   this);
}

ViewDefaults::~ViewDefaults() {
  g_signal_handlers_disconnect_by_data(m_view, this);
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_find_controller(m_view), this);
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(m_view), this);
  g_object_unref(m_pinch);
  g_object_unref(m_overlay);
}

bool ViewDefaults::Act(BrowserKeys::Action action) {
  using A = BrowserKeys::Action;
  switch (action) {
    case A::kReload: webkit_web_view_reload(m_view); return true;
    case A::kReloadBypassingCache: webkit_web_view_reload_bypass_cache(m_view); return true;
    case A::kBack: webkit_web_view_go_back(m_view); return true;
    case A::kForward: webkit_web_view_go_forward(m_view); return true;
    case A::kFind: m_findBar.Open(); return true;
    case A::kPrint: Print(); return true;
    case A::kZoomIn: m_zoom.ZoomIn(); return true;
    case A::kZoomOut: m_zoom.ZoomOut(); return true;
    case A::kZoomReset: m_zoom.Reset(); return true;
    case A::kNone: break;
  }
  return false;
}

void ViewDefaults::Print() {
  // The print dialog runs a loop of its own; started from the key's handler
  // it would hold the key's event (and the page's answer to it) until the
  // dialog closed. The idle holds the view, not this object.
  g_idle_add_full(
      G_PRIORITY_DEFAULT_IDLE,
      [](gpointer view) {
        GtkWidget* toplevel = gtk_widget_get_toplevel(GTK_WIDGET(view));
        if (gtk_widget_in_destruction(GTK_WIDGET(view))) return G_SOURCE_REMOVE;
        g_autoptr(WebKitPrintOperation) operation = webkit_print_operation_new(WEBKIT_WEB_VIEW(view));
        webkit_print_operation_run_dialog(operation, GTK_IS_WINDOW(toplevel) ? GTK_WINDOW(toplevel) : nullptr);
        return G_SOURCE_REMOVE;
      },
      g_object_ref(m_view), g_object_unref);
}

gboolean ViewDefaults::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
  const auto action = BrowserKeys::ActionFor(event->keyval, static_cast<GdkModifierType>(event->state));
  return static_cast<ViewDefaults*>(self)->Act(action) ? TRUE : FALSE;
}

gboolean ViewDefaults::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
  if (event->type != GDK_BUTTON_PRESS) return FALSE;
  return static_cast<ViewDefaults*>(self)->Act(BrowserKeys::ActionForButton(event->button)) ? TRUE : FALSE;
}

gboolean ViewDefaults::OnScroll(GtkWidget*, GdkEventScroll* event, gpointer self) {
  return static_cast<ViewDefaults*>(self)->m_zoom.OnScroll(event) ? TRUE : FALSE;
}

void ViewDefaults::OnMouseTargetChanged(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer self) {
  const bool link = webkit_hit_test_result_context_is_link(hit);
  static_cast<ViewDefaults*>(self)->m_statusLine.OnHover(link ? webkit_hit_test_result_get_link_uri(hit) : nullptr);
}

void ViewDefaults::OnLoadChanged(WebKitWebView*, WebKitLoadEvent loadEvent, gpointer self) {
  auto* defaults = static_cast<ViewDefaults*>(self);
  if (loadEvent == WEBKIT_LOAD_COMMITTED) {
    defaults->m_statusLine.OnHover(nullptr);
    defaults->m_permissions.OnPageChanged();
  }
  defaults->m_errorPage.OnLoadChanged(loadEvent);
}

gboolean ViewDefaults::OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult* hit, gpointer self) {
  static_cast<ViewDefaults*>(self)->m_contextMenu.Prepare(menu, hit);
  return FALSE;
}

gboolean ViewDefaults::OnPermissionRequest(WebKitWebView*, WebKitPermissionRequest* request, gpointer self) {
  return static_cast<ViewDefaults*>(self)->m_permissions.OnRequest(request);
}

gboolean ViewDefaults::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, const char* uri, GError* error, gpointer self) {
  return static_cast<ViewDefaults*>(self)->m_errorPage.OnLoadFailed(uri, error) ? TRUE : FALSE;
}

gboolean ViewDefaults::OnLeave(GtkWidget*, GdkEventCrossing*, gpointer self) {
  static_cast<ViewDefaults*>(self)->m_statusLine.OnHover(nullptr);
  return FALSE;
}

void ViewDefaults::OnHistoryKey(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  g_autofree char* message = jsc_value_is_string(value) ? jsc_value_to_string(value) : nullptr;
  static_cast<ViewDefaults*>(self)->Act(BrowserKeys::ActionForHistoryMessage(message));
}

gboolean ViewDefaults::OnScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer) {
  return ScriptDialogTitle::Show(GTK_WIDGET(view), dialog);
}

void ViewDefaults::OnCountedMatches(WebKitFindController*, guint count, gpointer self) {
  static_cast<ViewDefaults*>(self)->m_findBar.OnCountedMatches(count);
}

void ViewDefaults::OnFailedToFind(WebKitFindController*, gpointer self) {
  static_cast<ViewDefaults*>(self)->m_findBar.OnFailedToFind();
}
