#pragma once
// The keys a browser answers when the page has not used them: reload, going
// back and forward, find, print and zoom. Only the mapping from a key to what
// it does lives here, so that it can be checked without a display; the view's
// defaults carry the action out.
#include <gdk/gdk.h>

class BrowserKeys {
 public:
  enum class Action {
    kNone,
    kReload,
    kReloadBypassingCache,
    kBack,
    kForward,
    kFind,
    kPrint,
    kZoomIn,
    kZoomOut,
    kZoomReset,
  };

  // What the key `keyval` does with the modifiers `state` held. Modifiers
  // other than Ctrl, Shift and Alt (Num Lock, Caps Lock, the mouse buttons)
  // are ignored; a key with a modifier it does not expect does nothing.
  static Action ActionFor(guint keyval, GdkModifierType state);

  // What the mouse's extra buttons do: 8 goes back, 9 forward.
  static Action ActionForButton(guint button);

  // Alt+Left and Alt+Right never come back from the page unused: the engine
  // takes every arrow key for scrolling, whether the page can scroll or not.
  // So a script in a world of the runtime's own watches them in the page
  // and, once the page's handlers have run, reports each one the page did
  // not prevent, by the message name below with "back" or "forward".
  static constexpr char kHistoryKeyWorld[] = "vellumview-defaults";
  static constexpr char kHistoryKeyMessage[] = "vellumviewHistoryKey";
  static const char* HistoryKeyScript();
  static Action ActionForHistoryMessage(const char* message);
};
