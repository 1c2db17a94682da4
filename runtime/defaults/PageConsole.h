#pragma once
// The page's console for the application's developer. The web extension
// sends every console message of a page to the view's process; with
// VELLUMVIEW_DEBUG_OUTPUT=1 each becomes one line on standard error, and the
// runtime's trace gets one "page-error" event per uncaught error whether or
// not the output is on. Source addresses are shown in the file:// form the
// developer wrote, not the loopback server's.
//
// Lines on standard error:
//   page console.<level> <address>:<line>: <text>     console.log() and the rest
//   page uncaught error <address>:<line>: <text>      exceptions and rejections
//   page <source>.<level> <address>:<line>: <text>    the engine's own messages
#include <glib.h>

#include <string>
#include <string_view>

#include "runtime/loopback/LoopbackAddress.h"

class PageConsole {
 public:
  // The name of the web extension's message, and its parameters' type.
  static constexpr char kMessageName[] = "vellumview-console";
  static constexpr char kParametersType[] = "(uussu)";

  struct Message {
    unsigned source = 0;  // the engine's WebKitConsoleMessageSource
    unsigned level = 0;   // the engine's WebKitConsoleMessageLevel
    std::string text;
    std::string address;  // file:// for local content
    unsigned line = 0;
  };

  // Reads the extension's parameters, mapping the source address back to
  // file://. False when they are not of the message's type.
  static bool Read(GVariant* parameters, const LoopbackAddress& address, Message* message);

  // Writes the message where the developer sees it (see above).
  static void Report(const Message& message);

  // An exception the page did not catch, or a rejected promise nobody
  // handled: the engine reports them as errors from JavaScript itself.
  static bool IsUncaughtError(const Message& message);

  // The message's line on standard error, without the line feed. Line feeds
  // in the text stay, so a stack trace reads as the engine gave it.
  static std::string FormatLine(const Message& message);
};
