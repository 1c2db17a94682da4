// The entry the engine calls in every web process it starts for the runtime.
#include <webkit2/webkit-web-extension.h>

#include "runtime/webextension/ConsoleForwarder.h"
#include "runtime/webextension/LocalFileRewriter.h"

extern "C" __attribute__((visibility("default"))) void webkit_web_extension_initialize_with_user_data(
    WebKitWebExtension* extension, GVariant* userData) {
  // The runtime always passes its server's port. Without one no page is
  // local, and the rewriter then stops every file:// request.
  const guint16 port = userData && g_variant_is_of_type(userData, G_VARIANT_TYPE_UINT16) ? g_variant_get_uint16(userData) : 0;
  LocalFileRewriter::Attach(extension, port);
  ConsoleForwarder::Attach(extension);
}
