// A loopback source that includes the engine folder above it: the layer
// check must reject it. The server reaches the views through
// runtime/loopback/ILocalRequestHandler.h, which the environment implements.
#include "runtime/engine/RuntimeWebView.h"
