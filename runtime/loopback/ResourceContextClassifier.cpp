#include "runtime/loopback/ResourceContextClassifier.h"

COREWEBVIEW2_WEB_RESOURCE_CONTEXT ResourceContextClassifier::Classify(std::string_view accept, bool hasRange) {
  // The media loader is the only one that opens with a Range request; it
  // comes first because its Accept value is the generic one.
  if (hasRange) return COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA;
  if (accept.starts_with("text/html")) return COREWEBVIEW2_WEB_RESOURCE_CONTEXT_DOCUMENT;
  if (accept.starts_with("text/css")) return COREWEBVIEW2_WEB_RESOURCE_CONTEXT_STYLESHEET;
  if (accept.starts_with("image/")) return COREWEBVIEW2_WEB_RESOURCE_CONTEXT_IMAGE;
  if (accept.starts_with("text/vtt")) return COREWEBVIEW2_WEB_RESOURCE_CONTEXT_TEXT_TRACK;
  if (accept.starts_with("text/event-stream")) return COREWEBVIEW2_WEB_RESOURCE_CONTEXT_EVENT_SOURCE;
  return COREWEBVIEW2_WEB_RESOURCE_CONTEXT_OTHER;
}
