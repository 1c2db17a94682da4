#include "LocalScheme.h"

#include <libsoup/soup.h>

#include <string>

#include "ByteRange.h"
#include "LocalFileUri.h"
#include "RequestTrace.h"
#include "ResourceContextClassifier.h"
#include "ResponseHeaderBlock.h"
#include "RuntimeWebView.h"
#include "StreamInputStream.h"
#include "com/CoTaskMem.h"
#include "util/FileStream.h"
#include "util/FileUrl.h"
#include "util/Strings.h"
#include "util/Win32Error.h"
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
  // The same decoder and opener as the program's: an address the program
  // refuses is not served here either, and a named pipe can never block the
  // user-interface thread this runs on.
  std::string path;
  UniqueFd file;
  struct stat info {};
  const auto fail = [&](HRESULT hr) {
    // What the engine's file loader does with a file it cannot read: the
    // load fails; there is no status to give.
    g_autoptr(GError) error = g_error_new(G_IO_ERROR, IoErrorCode(hr), "cannot read %s (0x%08X)", fileUri.c_str(),
                                          static_cast<unsigned>(hr));
    RequestTrace::Instance().Request(fileUri, context, 0, error->message, "engine", "");
    webkit_uri_scheme_request_finish_error(request, error);
  };
  HRESULT hr = FileUrlToNativePath(fileUri, path);
  if (SUCCEEDED(hr)) hr = FileStream::OpenRegularFile(path, file, info);
  if (FAILED(hr)) return fail(hr);
  const auto size = static_cast<std::uint64_t>(info.st_size);
  g_autofree char* guessed = g_content_type_guess(path.c_str(), nullptr, 0, nullptr);
  g_autofree char* mime = guessed ? g_content_type_get_mime_type(guessed) : nullptr;
  const std::string type = mime ? mime : "application/octet-stream";
  if (!range.empty() && FinishRange(request, file, size, type, range, fileUri, context)) return;
  ComPtr<IStream> whole;
  if (FAILED(hr = FileStream::Create(std::move(file), 0, size, whole.GetAddressOf()))) return fail(hr);
  g_autoptr(GInputStream) body = StreamInputStream::Create(whole.Get());
  webkit_uri_scheme_request_finish(request, body, static_cast<gint64>(size), type.c_str());
  RequestTrace::Instance().Request(fileUri, context, 200, "OK", "engine", "Content-Type: " + type + "\n");
}

bool LocalScheme::FinishRange(WebKitURISchemeRequest* request, UniqueFd& file, std::uint64_t size,
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
  ComPtr<IStream> part;
  if (FAILED(FileStream::Create(std::move(file), range.first, range.Length(), part.GetAddressOf()))) return false;
  headers.emplace_back("Content-Length", std::to_string(range.Length()));
  headers.emplace_back("Content-Range",
                       "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) + "/" + total);
  g_autoptr(GInputStream) body = StreamInputStream::Create(part.Get());
  Respond(request, body, static_cast<gint64>(range.Length()), 206, "Partial Content", headers);
  RequestTrace::Instance().Request(fileUri, context, 206, "Partial Content", "engine", HeaderText(headers));
  return true;
}

int LocalScheme::IoErrorCode(HRESULT hr) {
  if (hr == HResultFromWin32(ERROR_FILE_NOT_FOUND) || hr == HResultFromWin32(ERROR_PATH_NOT_FOUND))
    return G_IO_ERROR_NOT_FOUND;
  if (hr == HResultFromWin32(ERROR_ACCESS_DENIED)) return G_IO_ERROR_PERMISSION_DENIED;
  if (hr == E_INVALIDARG) return G_IO_ERROR_INVALID_ARGUMENT;
  return G_IO_ERROR_FAILED;
}

std::string LocalScheme::HeaderText(const std::vector<ResponseHeaderBlock::Header>& headers) {
  std::string text;
  for (const auto& [name, value] : headers) text += name + ": " + value + "\n";
  return text;
}
