#pragma once
// The prompt for a page's permission requests (notifications, location,
// camera and microphone, the clipboard, the pointer lock and every other
// kind the engine raises): a bar at the top of the view that names who asks
// and for what, with Allow and Block. It never blocks the page; requests
// are asked one at a time and the answers remembered (PermissionQueue). The
// one asking is the page's origin as the program sees it: a local page is
// "this application", never the loopback server it is served from.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <map>
#include <string>

#include "runtime/defaults/PermissionQueue.h"

class PermissionPrompt {
 public:
  static constexpr char kName[] = "permission-prompt";
  static constexpr char kTextLabel[] = "permission-text";
  static constexpr char kAllowButton[] = "permission-allow";
  static constexpr char kBlockButton[] = "permission-block";
  // Maps the engine's address of the page to the one the program sees.
  using AddressMap = std::function<std::string(const char* engineUri)>;

  PermissionPrompt(WebKitWebView* view, AddressMap programUri);
  PermissionPrompt(const PermissionPrompt&) = delete;
  PermissionPrompt& operator=(const PermissionPrompt&) = delete;
  // Refuses every request still waiting.
  ~PermissionPrompt();

  // The bar's widget, for the view's overlay; hidden while nothing is asked.
  GtkWidget* Widget() const { return m_bar; }

  // The engine's "permission-request"; always TRUE (every request is answered).
  gboolean OnRequest(WebKitPermissionRequest* request);
  // A new page replaced the one whose questions wait: they are refused
  // unasked, and the answers given so far are kept.
  void OnPageChanged() { m_queue.RefuseAll(); }

  // The kind of access a request asks for, as remembered, and the sentence
  // that asks for it ("%s" being who asks).
  struct Kind {
    const char* id;
    const char* question;
  };
  static Kind KindOf(WebKitPermissionRequest* request);
  // The origin of a page at `programUri` ("file" for every local page).
  static std::string OriginOf(const std::string& programUri);

 private:
  void ShowCurrent();
  static void OnAllow(GtkButton*, gpointer self);
  static void OnBlock(GtkButton*, gpointer self);

  WebKitWebView* m_view;  // not owned
  AddressMap m_programUri;
  GtkWidget* m_bar;  // owned through the reference taken on it
  GtkWidget* m_text;
  // The sentence of each kind asked about; the queue knows kinds by id only.
  std::map<std::string, std::string> m_questions;
  PermissionQueue m_queue;
};
