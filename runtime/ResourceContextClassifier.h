#pragma once
// Works out what kind of resource a request of the private scheme is for.
// The engine hands a scheme handler no resource type, but its loader tells
// the kind apart in the request headers it sends: documents, style sheets and
// images each get their own Accept value, and media elements always ask for
// a byte range. Scripts, workers, fetch and XMLHttpRequest all send a plain
// "*/*" and cannot be told apart, so they are reported as "other".
#include <string_view>

#include "webview/ICoreWebView2Forward.h"

class ResourceContextClassifier {
 public:
  // accept: the Accept header (empty when absent); hasRange: whether a Range
  // header was sent.
  static COREWEBVIEW2_WEB_RESOURCE_CONTEXT Classify(std::string_view accept, bool hasRange);
};
