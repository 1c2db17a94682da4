#pragma once
// What the view shows instead of a blank window when its page cannot be
// shown: a local file the program answered with an error (a missing file is
// its 404), a load the engine could not complete, or the page's web process
// having ended (killed, crashed, out of memory). A panel over the view names
// the address, in the form the program sees it, and the reason, and offers
// Reload; Reload, F5 or the program's own reload bring the page back, with a
// fresh web process where the old one ended. Nothing reloads by itself, so a
// page whose process dies again at once waits for the user instead of
// reloading in a loop.
//
// A page that stops responding gets a notice of its own, offering to wait
// or to reload it; it goes when the page answers again.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <string>

class ErrorPage {
 public:
  static constexpr char kPanelName[] = "error-page";
  static constexpr char kAddressName[] = "error-page-address";
  static constexpr char kReasonName[] = "error-page-reason";
  static constexpr char kReloadName[] = "error-page-reload";
  static constexpr char kNoticeName[] = "unresponsive-notice";
  static constexpr char kNoticeReloadName[] = "unresponsive-reload";
  // Maps the engine's address of a page to the one shown.
  using AddressMap = std::function<std::string(const char* engineUri)>;

  ErrorPage(WebKitWebView* view, AddressMap programUri);
  ErrorPage(const ErrorPage&) = delete;
  ErrorPage& operator=(const ErrorPage&) = delete;
  ~ErrorPage();

  // The panel and the notice, for the view's overlay; both hidden at first.
  GtkWidget* Panel() const { return m_panel; }
  GtkWidget* Notice() const { return m_notice; }

  // The reason shown for a local file answered with `status` (400 and up).
  static std::string ReasonForStatus(unsigned status);
  // Whether a failed load is one to show: not one the user or the runtime
  // stopped (a cancelled navigation, a stop, a response turned download).
  static bool IsShownFailure(const GError* error);

  void OnLoadChanged(WebKitLoadEvent loadEvent);
  // True when the error page is shown for the failure (the engine's own is then not wanted).
  bool OnLoadFailed(const char* failingUri, const GError* error);
  void OnWebProcessTerminated(WebKitWebProcessTerminationReason reason);
  void OnResponsiveChanged();

 private:
  void Show(const char* engineUri, const std::string& reason);
  void Reload();

  WebKitWebView* m_view;  // not owned
  AddressMap m_programUri;
  GtkWidget* m_panel;     // owned through the reference taken on it
  GtkWidget* m_address;
  GtkWidget* m_reason;
  GtkWidget* m_reload;
  GtkWidget* m_notice;    // owned through the reference taken on it
};
