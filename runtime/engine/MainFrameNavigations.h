#pragma once
// Tells the main frame's navigations from a frame's before the engine sends
// anything for them. A navigation decision carries no frame, so a small
// script in an isolated world of the top frame reports each navigation the
// page starts (its `navigate` event) to the view; the report reaches this
// process before the engine's decision for the same navigation, and the
// decision that matches a report is the main frame's.
#include <webkit2/webkit2.h>

#include <deque>
#include <string>

#include "platform/linux/GObjectPtr.h"

class MainFrameNavigations {
 public:
  // Installs the script and its message handler on the view's content
  // manager.
  explicit MainFrameNavigations(WebKitWebView* view);
  ~MainFrameNavigations();
  MainFrameNavigations(const MainFrameNavigations&) = delete;
  MainFrameNavigations& operator=(const MainFrameNavigations&) = delete;

  // True when the top frame reported a navigation to this address that no
  // decision has claimed yet; claims it (and drops older reports, which
  // the engine has not decided on: they were replaced by this one).
  bool Claim(const std::string& uri);

 private:
  static void OnMessage(WebKitUserContentManager* manager, WebKitJavascriptResult* result, gpointer self);

  GObjectPtr<WebKitUserContentManager> m_manager;  // the view's
  gulong m_handler = 0;
  std::deque<std::string> m_reported;
};
