#pragma once
// The engine's inspector, for the application's developer only: with
// VELLUMVIEW_INSPECTOR=1 in the runtime's environment the engine's developer
// extras stay on whatever the program asks of its settings, so that the
// page's context menu offers "Inspect Element", and F12 or Ctrl+Shift+I
// opens the inspector. Without the variable nothing of it is reachable and
// the program's own setting (developer tools off) holds.
#include <webkit2/webkit2.h>

#include <string_view>

class PageInspector {
 public:
  static constexpr char kVariable[] = "VELLUMVIEW_INSPECTOR";

  // True when the variable is exactly "1"; read once, at the first call.
  static bool IsRequested();

  // True for the keys that open the inspector: F12, and Ctrl+Shift+I.
  static bool IsShortcut(guint keyval, guint modifiers);

  // Opens the inspector on the view's page (at `fileUri`), and traces it.
  static void Show(WebKitWebView* view, std::string_view fileUri);
};
