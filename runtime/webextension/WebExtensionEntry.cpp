// The entry the engine calls in every web process it starts for the runtime.
#include <webkit2/webkit-web-extension.h>

#include "LocalFileRewriter.h"

extern "C" __attribute__((visibility("default"))) void webkit_web_extension_initialize(
    WebKitWebExtension* extension) {
  LocalFileRewriter::Attach(extension);
}
