#pragma once
// What every view of the runtime does without the program asking: the
// browser keys and the mouse's back and forward buttons, the find bar, print,
// zoom, the context menu, the error page, the status line for links, the
// download indicator, permission prompts and script dialogs titled with the
// window's caption. The engine's signals for all of these are connected here
// and only here; each default is a class of its own that knows nothing of
// the others.
//
// The view is placed in an overlay that carries the find bar, the status
// line, the error page, the download indicator and the permission prompt
// above the page; the overlay is what goes into the program's window.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include "runtime/defaults/BrowserKeys.h"
#include "runtime/defaults/ContextMenu.h"
#include "runtime/defaults/DownloadIndicator.h"
#include "runtime/defaults/ErrorPage.h"
#include "runtime/defaults/FindBar.h"
#include "runtime/defaults/LinkStatusLine.h"
#include "runtime/defaults/PageZoom.h"
#include "runtime/defaults/PermissionPrompt.h"

class ViewDefaults {
 public:
  // `programUri` maps an engine address to the one the program sees.
  ViewDefaults(WebKitWebView* view, LinkStatusLine::AddressMap programUri);
  ViewDefaults(const ViewDefaults&) = delete;
  ViewDefaults& operator=(const ViewDefaults&) = delete;
  ~ViewDefaults();

  // The overlay holding the view, to be placed in the program's window.
  GtkWidget* Widget() const { return m_overlay; }
  // The indicator of the downloads the runtime saves itself.
  DownloadIndicator& Downloads() { return m_downloads; }

 private:
  static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
  static gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self);
  static gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer self);
  static void OnMouseTargetChanged(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer self);
  static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent loadEvent, gpointer self);
  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult* hit, gpointer self);
  static gboolean OnPermissionRequest(WebKitWebView*, WebKitPermissionRequest* request, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, const char* uri, GError* error, gpointer self);
  static gboolean OnLeave(GtkWidget*, GdkEventCrossing*, gpointer self);
  static void OnHistoryKey(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self);
  static gboolean OnScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer);
  static void OnCountedMatches(WebKitFindController*, guint count, gpointer self);
  static void OnFailedToFind(WebKitFindController*, gpointer self);

  // Carries out what a key or button asks for; false when it asks nothing.
  bool Act(BrowserKeys::Action action);
  // Opens the print dialog once the key's event is over.
  void Print();

  WebKitWebView* m_view;   // not owned; the runtime's view owns both
  GtkWidget* m_overlay;    // owned through the reference taken on it
  GtkGesture* m_pinch;     // owned
  FindBar m_findBar;
  ErrorPage m_errorPage;
  ContextMenu m_contextMenu;
  LinkStatusLine m_statusLine;
  PageZoom m_zoom;
  DownloadIndicator m_downloads;
  PermissionPrompt m_permissions;
};
