#include "runtime/webextension/ConsoleForwarder.h"

void ConsoleForwarder::Attach(WebKitWebExtension* extension) {
  g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}

void ConsoleForwarder::OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
  g_signal_connect(page, "console-message-sent", G_CALLBACK(OnConsoleMessage), nullptr);
}

void ConsoleForwarder::OnConsoleMessage(WebKitWebPage* page, WebKitConsoleMessage* message, gpointer) {
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
