#include "runtime/webextension/ConsoleForwarder.h"

#include <cstdlib>
#include <string_view>

namespace {

// The web process inherits the runtime's environment, so it can tell on its
// own whether anyone reads the console: only then does every message cross to
// the view's process; otherwise only uncaught errors do, for the trace. A
// chatty page then costs nothing more than it did.
bool ForwardsEveryMessage() {
  static const bool every = [] {
    const char* value = std::getenv("VELLUMVIEW_DEBUG_OUTPUT");
    return value && std::string_view(value) == "1";
  }();
  return every;
}

}  // namespace

void ConsoleForwarder::Attach(WebKitWebExtension* extension) {
  g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}

void ConsoleForwarder::OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
  g_signal_connect(page, "console-message-sent", G_CALLBACK(OnConsoleMessage), nullptr);
}

void ConsoleForwarder::OnConsoleMessage(WebKitWebPage* page, WebKitConsoleMessage* message, gpointer) {
  const bool uncaught = webkit_console_message_get_source(message) == WEBKIT_CONSOLE_MESSAGE_SOURCE_JAVASCRIPT &&
                        webkit_console_message_get_level(message) == WEBKIT_CONSOLE_MESSAGE_LEVEL_ERROR;
  if (!uncaught && !ForwardsEveryMessage()) return;
  const char* text = webkit_console_message_get_text(message);
  const char* source = webkit_console_message_get_source_id(message);
  GVariant* parameters = g_variant_new("(uussu)", static_cast<guint32>(webkit_console_message_get_source(message)),
                                       static_cast<guint32>(webkit_console_message_get_level(message)), text ? text : "",
                                       source ? source : "", webkit_console_message_get_line(message));
  // The message is floating and the page takes it; no answer is awaited, so
  // a busy view process never holds up the page.
  webkit_web_page_send_message_to_view(page, webkit_user_message_new(kMessageName, parameters), nullptr, nullptr,
                                       nullptr);
}
