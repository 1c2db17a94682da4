#include "runtime/defaults/PageInspector.h"

#include <cstdlib>
#include <string_view>

#include "runtime/loopback/RequestTrace.h"

bool PageInspector::IsRequested() {
  static const bool requested = [] {
    const char* value = std::getenv(kVariable);
    return value && std::string_view(value) == "1";
  }();
  return requested;
}

bool PageInspector::IsShortcut(guint keyval, guint modifiers) {
  const guint held = modifiers & (GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK | GDK_SUPER_MASK);
  if (keyval == GDK_KEY_F12) return held == 0;
  return (keyval == GDK_KEY_I || keyval == GDK_KEY_i) && held == (GDK_CONTROL_MASK | GDK_SHIFT_MASK);
}

void PageInspector::Show(WebKitWebView* view, std::string_view fileUri) {
  RequestTrace::Instance().Event("inspector-shown", fileUri.empty() ? "-" : fileUri);
  webkit_web_inspector_show(webkit_web_view_get_inspector(view));
}
