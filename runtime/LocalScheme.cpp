#include "LocalScheme.h"

#include <fcntl.h>
#include <libsoup/soup.h>

#include <string>

#include "ByteRange.h"
#include "FileRangeStream.h"
#include "LocalFileUri.h"
#include "RequestTrace.h"
#include "ResourceContextClassifier.h"
#include "ResponseHeaderBlock.h"
#include "RuntimeWebView.h"
#include "StreamInputStream.h"
#include "com/CoTaskMem.h"
#include "util/Strings.h"
#include "com/IStream.h"

void LocalScheme::Register(WebKitWebContext* context) {
  const std::string scheme(LocalFileUri::kScheme);
  webkit_web_context_register_uri_scheme(context, scheme.c_str(), &LocalScheme::OnRequest, nullptr, nullptr);
  WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
  webkit_security_manager_register_uri_scheme_as_secure(security, scheme.c_str());
  webkit_security_manager_register_uri_scheme_as_cors_enabled(security, scheme.c_str());
}

void LocalScheme::OnRequest(WebKitURISchemeRequest* request, gpointer) {
  const std::string fileUri = LocalFileUri::ToFileUri(webkit_uri_scheme_request_get_uri(request));

  std::string accept;
  std::string range;
  bool hasRange = false;
  if (SoupMessageHeaders* headers = webkit_uri_scheme_request_get_http_headers(request)) {
    if (const char* value = soup_message_headers_get_one(headers, "Accept")) accept = value;
    if (const char* value = soup_message_headers_get_one(headers, "Range")) {
      range = value;
      hasRange = true;
    }
  }
  const COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = ResourceContextClassifier::Classify(accept, hasRange);

  // The view may be going away; hold it while the program is asked.
  ComPtr<RuntimeWebView> view(RuntimeWebView::FromEngineView(webkit_uri_scheme_request_get_web_view(request)));
  ComPtr<ICoreWebView2WebResourceResponse> response;
  if (view) response = view->RaiseWebResourceRequested(fileUri, context);
  if (response)
    FinishWithProgramResponse(request, response.Get(), fileUri, context);
  else
    FinishAsEngine(request, fileUri, context, range);
}

void LocalScheme::Respond(WebKitURISchemeRequest* request, GInputStream* body, gint64 length, int status,
                          const std::string& reason, const std::vector<ResponseHeaderBlock::Header>& headers) {
  g_autoptr(WebKitURISchemeResponse) response = webkit_uri_scheme_response_new(body, length);
  webkit_uri_scheme_response_set_status(response, static_cast<guint>(status), reason.c_str());
  // The headers go over as they stand, Content-Type included: once explicit
  // headers are set the engine ignores a separately given type.
  SoupMessageHeaders* soupHeaders = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
  for (const auto& [name, value] : headers) soup_message_headers_append(soupHeaders, name.c_str(), value.c_str());
  webkit_uri_scheme_response_set_http_headers(response, soupHeaders);
  webkit_uri_scheme_request_finish_with_response(request, response);
}

void LocalScheme::FinishWithProgramResponse(WebKitURISchemeRequest* request,
                                            ICoreWebView2WebResourceResponse* response, const std::string& fileUri,
                                            int context) {
  ComPtr<IStream> content;
  response->get_Content(content.GetAddressOf());
  int status = 200;
  response->get_StatusCode(&status);
  LPWSTR rawReason = nullptr;
  response->get_ReasonPhrase(&rawReason);
  const CoTaskMemString reason(rawReason);
  LPWSTR rawHeaders = nullptr;
  response->get_Headers(&rawHeaders);
  const CoTaskMemString headers(rawHeaders);
  const std::string reasonText = WideToUtf8(View(reason));
  const std::string headerText = WideToUtf8(View(headers));

  g_autoptr(GInputStream) body = StreamInputStream::Create(content.Get());
  Respond(request, body, -1, status, reasonText, ResponseHeaderBlock::Parse(headerText));
  RequestTrace::Instance().Request(fileUri, context, status, reasonText, "program", headerText);
}

void LocalScheme::FinishAsEngine(WebKitURISchemeRequest* request, const std::string& fileUri, int context,
                                 const std::string& range) {
  const auto path = LocalFileUri::PathFromUri(fileUri);
  g_autoptr(GError) error = nullptr;
  if (!path) {
    error = g_error_new(G_IO_ERROR, G_IO_ERROR_INVALID_ARGUMENT, "not a local file address: %s", fileUri.c_str());
  } else if (g_file_test(path->c_str(), G_FILE_TEST_IS_DIR)) {
    error = g_error_new(G_IO_ERROR, G_IO_ERROR_IS_DIRECTORY, "is a folder: %s", path->c_str());
  }
  g_autoptr(GFile) file = path ? g_file_new_for_path(path->c_str()) : nullptr;
  g_autoptr(GFileInputStream) stream = nullptr;
  g_autoptr(GFileInfo) info = nullptr;
  if (!error) stream = g_file_read(file, nullptr, &error);
  if (stream) info = g_file_input_stream_query_info(stream, G_FILE_ATTRIBUTE_STANDARD_SIZE, nullptr, nullptr);
  if (!stream) {
    // What the engine's file loader does with a file it cannot read: the
    // load fails; there is no status to give.
    RequestTrace::Instance().Request(fileUri, context, 0, error ? error->message : "", "engine", "");
    webkit_uri_scheme_request_finish_error(request, error);
    return;
  }
  const gint64 size = info ? g_file_info_get_size(info) : -1;
  g_autofree char* guessed = g_content_type_guess(path->c_str(), nullptr, 0, nullptr);
  g_autofree char* mime = guessed ? g_content_type_get_mime_type(guessed) : nullptr;
  const std::string type = mime ? mime : "application/octet-stream";
  if (!range.empty() && size >= 0 && FinishRange(request, *path, static_cast<std::uint64_t>(size), type, range, fileUri, context))
    return;
  webkit_uri_scheme_request_finish(request, G_INPUT_STREAM(stream), size, type.c_str());
  RequestTrace::Instance().Request(fileUri, context, 200, "OK", "engine", "Content-Type: " + type + "\n");
}

bool LocalScheme::FinishRange(WebKitURISchemeRequest* request, const std::string& path, std::uint64_t size,
                              const std::string& type, const std::string& rangeHeader, const std::string& fileUri,
                              int context) {
  ByteRange range;
  const ByteRange::Outcome outcome = ByteRange::Parse(rangeHeader, size, &range);
  if (outcome == ByteRange::Outcome::kWhole) return false;
  const std::string total = std::to_string(size);
  std::vector<ResponseHeaderBlock::Header> headers{{"Content-Type", type}, {"Accept-Ranges", "bytes"}};
  if (outcome == ByteRange::Outcome::kUnsatisfiable) {
    headers.emplace_back("Content-Range", "bytes */" + total);
    g_autoptr(GInputStream) empty = StreamInputStream::Create(nullptr);
    Respond(request, empty, 0, 416, "Range Not Satisfiable", headers);
    RequestTrace::Instance().Request(fileUri, context, 416, "Range Not Satisfiable", "engine", HeaderText(headers));
    return true;
  }
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsValid()) return false;
  ComPtr<FileRangeStream> part = MakeComObject<FileRangeStream>(std::move(fd), range.first, range.Length());
  if (!part) return false;
  headers.emplace_back("Content-Length", std::to_string(range.Length()));
  headers.emplace_back("Content-Range",
                       "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) + "/" + total);
  g_autoptr(GInputStream) body = StreamInputStream::Create(part.Get());
  Respond(request, body, static_cast<gint64>(range.Length()), 206, "Partial Content", headers);
  RequestTrace::Instance().Request(fileUri, context, 206, "Partial Content", "engine", HeaderText(headers));
  return true;
}

std::string LocalScheme::HeaderText(const std::vector<ResponseHeaderBlock::Header>& headers) {
  std::string text;
  for (const auto& [name, value] : headers) text += name + ": " + value + "\n";
  return text;
}
