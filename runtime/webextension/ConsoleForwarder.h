#pragma once
// The web-process half of the page's console: the messages the engine puts
// on a page's console (the page's console.* calls, its uncaught exceptions
// and rejections, the engine's own warnings) go to the view's process as
// user messages, where the runtime shows them to the developer: all of them
// with VELLUMVIEW_DEBUG_OUTPUT=1, else the uncaught errors alone. The
// engine's view process hears nothing of the console on its own.
//
// The message is named "vellumview-console" and carries the tuple
// (source, level, text, source address, line) of WebKitConsoleMessage, with
// the engine's enumerations as plain numbers; the address is the one the
// engine loaded the script from (the loopback server's for local files).
#include <webkit2/webkit-web-extension.h>

class ConsoleForwarder {
 public:
  static constexpr char kMessageName[] = "vellumview-console";

  // Forwards the console of every page the web process creates.
  static void Attach(WebKitWebExtension* extension);

 private:
  static void OnPageCreated(WebKitWebExtension* extension, WebKitWebPage* page, gpointer);
  static void OnConsoleMessage(WebKitWebPage* page, WebKitConsoleMessage* message, gpointer);
};
