#pragma once
// Serves local content through the runtime's private scheme. Each request is
// offered to the program as a WebResourceRequested event (with the file://
// address); a response the program sets is delivered as it stands, status,
// reason and headers, with its body streamed from the program's stream. A
// request the program leaves unanswered is served the way the engine serves
// a file itself: the file's bytes with a type guessed from its name (a byte
// range when the request asks for one, as media elements do), or a load
// error when it cannot be read.
#include <webkit2/webkit2.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ResponseHeaderBlock.h"
#include "com/Types.h"
#include "util/UniqueFd.h"
#include "webview/ICoreWebView2WebResourceResponse.h"

class LocalScheme {
 public:
  // Registers the scheme and its security on a web context: secure and
  // CORS-enabled, but not local (a local scheme breaks same-origin fetch and
  // workers).
  static void Register(WebKitWebContext* context);

 private:
  static void OnRequest(WebKitURISchemeRequest* request, gpointer);
  static void FinishWithProgramResponse(WebKitURISchemeRequest* request, ICoreWebView2WebResourceResponse* response,
                                        const std::string& fileUri, int context);
  static void FinishAsEngine(WebKitURISchemeRequest* request, const std::string& fileUri, int context,
                             const std::string& range);
  // Answers a Range request with 206 or 416; false when the whole file
  // should be sent instead. A 206 takes the open file over.
  static bool FinishRange(WebKitURISchemeRequest* request, UniqueFd& file, std::uint64_t size,
                          const std::string& type, const std::string& rangeHeader, const std::string& fileUri,
                          int context);
  static void Respond(WebKitURISchemeRequest* request, GInputStream* body, gint64 length, int status,
                      const std::string& reason, const std::vector<ResponseHeaderBlock::Header>& headers);
  // The GIO error code for a file that cannot be served.
  static int IoErrorCode(HRESULT hr);
  static std::string HeaderText(const std::vector<ResponseHeaderBlock::Header>& headers);
};
