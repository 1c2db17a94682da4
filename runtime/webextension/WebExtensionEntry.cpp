// The entry the engine calls in every web process it starts for the runtime.
#include <webkit2/webkit-web-extension.h>

#include "runtime/loopback/LoopbackAddress.h"
#include "runtime/webextension/ConsoleForwarder.h"
#include "runtime/webextension/LocalFileRewriter.h"

extern "C" __attribute__((visibility("default"))) void webkit_web_extension_initialize_with_user_data(
    WebKitWebExtension* extension, GVariant* userData) {
  // The runtime always passes its server's address and port. Without them
  // no page is local, and the rewriter then stops every file:// request.
  const char* host = "";
  guint16 port = 0;
  if (userData && g_variant_is_of_type(userData, G_VARIANT_TYPE("(sq)"))) g_variant_get(userData, "(&sq)", &host, &port);
  LocalFileRewriter::Attach(extension, LoopbackAddress(host, port));
  ConsoleForwarder::Attach(extension);
}
