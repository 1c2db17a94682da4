#include "runtime/defaults/BrowserKeys.h"

#include <string_view>

BrowserKeys::Action BrowserKeys::ActionFor(guint keyval, GdkModifierType state) {
  const guint held = state & (GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK);
  const bool ctrl = held == GDK_CONTROL_MASK;
  const bool ctrlShift = held == (GDK_CONTROL_MASK | GDK_SHIFT_MASK);
  // With Shift held the letter keys report their capitals.
  const guint key = gdk_keyval_to_lower(keyval);
  switch (key) {
    case GDK_KEY_F5:
      if (held == 0) return Action::kReload;
      if (held == GDK_SHIFT_MASK || ctrl) return Action::kReloadBypassingCache;
      return Action::kNone;
    case GDK_KEY_Reload:
      return held == 0 ? Action::kReload : Action::kNone;
    case GDK_KEY_r:
      return ctrl ? Action::kReload : ctrlShift ? Action::kReloadBypassingCache : Action::kNone;
    case GDK_KEY_Back:
      return held == 0 ? Action::kBack : Action::kNone;
    case GDK_KEY_Forward:
      return held == 0 ? Action::kForward : Action::kNone;
    case GDK_KEY_f:
      return ctrl ? Action::kFind : Action::kNone;
    case GDK_KEY_p:
      return ctrl ? Action::kPrint : Action::kNone;
    // Plus needs Shift on most layouts, so Ctrl+= and Ctrl+Shift+= (and
    // Ctrl++ where plus is a key of its own) all zoom in.
    case GDK_KEY_plus:
    case GDK_KEY_equal:
    case GDK_KEY_KP_Add:
      return ctrl || ctrlShift ? Action::kZoomIn : Action::kNone;
    case GDK_KEY_minus:
    case GDK_KEY_underscore:
    case GDK_KEY_KP_Subtract:
      return ctrl || ctrlShift ? Action::kZoomOut : Action::kNone;
    case GDK_KEY_0:
    case GDK_KEY_KP_0:
    case GDK_KEY_KP_Insert:
      return ctrl ? Action::kZoomReset : Action::kNone;
    default:
      return Action::kNone;
  }
}

BrowserKeys::Action BrowserKeys::ActionForButton(guint button) {
  if (button == 8) return Action::kBack;
  if (button == 9) return Action::kForward;
  return Action::kNone;
}

const char* BrowserKeys::HistoryKeyScript() {
  // Registered first, in the capture phase, so it sees every key; the check
  // waits until the event's dispatch, and with it every page handler, is over.
  return R"js(addEventListener("keydown", e => {
  if (!e.altKey || e.ctrlKey || e.shiftKey || e.metaKey || (e.key !== "ArrowLeft" && e.key !== "ArrowRight")) return;
  setTimeout(() => {
    if (!e.defaultPrevented)
      webkit.messageHandlers.vellumviewHistoryKey.postMessage(e.key === "ArrowLeft" ? "back" : "forward");
  });
}, true);)js";
}

BrowserKeys::Action BrowserKeys::ActionForHistoryMessage(const char* message) {
  const std::string_view text = message ? message : "";
  return text == "back" ? Action::kBack : text == "forward" ? Action::kForward : Action::kNone;
}
