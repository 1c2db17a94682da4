#pragma once
// Works out what kind of resource a local request is for. A request the
// web-process extension rewrote from file:// carries no Sec-Fetch-Dest, but
// the engine's loader tells the kind apart in the Accept header it sends:
// documents, style sheets and images each get their own value; the server
// reports media (a Range header, or a media destination) itself. Scripts,
// workers, fetch and XMLHttpRequest all send a plain "*/*" and cannot be
// told apart, so they are reported as "other".
#include <string_view>

#include "webview/ICoreWebView2Forward.h"

class ResourceContextClassifier {
 public:
  // accept: the Accept header (empty when absent); hasRange: whether a Range
  // header was sent.
  static COREWEBVIEW2_WEB_RESOURCE_CONTEXT Classify(std::string_view accept, bool hasRange);
};
