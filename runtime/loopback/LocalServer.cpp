#include "runtime/loopback/LocalServer.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "com/CoTaskMem.h"
#include "runtime/loopback/ByteRange.h"
#include "runtime/loopback/FileContentType.h"
#include "runtime/loopback/RequestTrace.h"
#include "runtime/loopback/ResourceContextClassifier.h"
#include "runtime/loopback/ResponseBodyPump.h"
#include "runtime/loopback/ResponseHeaderBlock.h"
#include "util/FileStream.h"
#include "util/FileUrl.h"
#include "util/Strings.h"
#include "util/Win32Error.h"

namespace {

// The system's code for an address in use (WSAEADDRINUSE), which errno has
// no Windows counterpart for in the file-error table.
constexpr HRESULT kAddressInUse = HResultFromWin32(10048);

const char* Header(SoupServerMessage* message, const char* name) {
  return soup_message_headers_get_one(soup_server_message_get_request_headers(message), name);
}

std::string HeaderText(const std::vector<ResponseHeaderBlock::Header>& headers) {
  std::string text;
  for (const auto& [name, value] : headers) text += name + ": " + value + "\n";
  return text;
}

// A refusal says nothing about what exists: the same empty 403 for every
// reason, which only the trace records.
void Refuse(SoupServerMessage* message, int status, const char* reason) {
  soup_server_message_set_status(message, static_cast<guint>(status), reason);
  soup_message_headers_replace(soup_server_message_get_response_headers(message), "Cache-Control", "no-store");
  soup_server_message_set_response(message, nullptr, SOUP_MEMORY_STATIC, nullptr, 0);
}

// The program's header block, with the type of the file's name added when the
// program named none and the answer has a body: the program types the files
// its own table knows, and a page still needs a type for the rest (a module
// script has to be JavaScript to run). What the program wrote is never
// replaced.
std::string WithContentType(std::string block, const std::string& fileUri) {
  for (const auto& [name, value] : ResponseHeaderBlock::Parse(block))
    if (AsciiEqualsNoCase(name, "Content-Type")) return block;
  std::string path;
  if (FAILED(FileUrlToNativePath(fileUri, path))) return block;
  const std::string type = FileContentType::ForFileName(path);
  if (type.empty()) return block;
  if (!block.empty() && block.back() != '\n') block += '\n';
  return block + "Content-Type: " + type + "\n";
}

// The guard's refusals also end the connection: a client that was refused
// has nothing more to ask, and must not hold one of the server's places.
void RefuseAndClose(SoupServerMessage* message) {
  Refuse(message, 403, "Forbidden");
  soup_message_headers_replace(soup_server_message_get_response_headers(message), "Connection", "close");
}

// Sends the request back to its own address (path and query as they came,
// still escaped), to be asked again with the cookie.
void RedirectToItself(SoupServerMessage* message) {
  GUri* uri = soup_server_message_get_uri(message);
  const char* query = g_uri_get_query(uri);
  const std::string location = std::string(g_uri_get_path(uri)) + (query ? std::string("?") + query : "");
  Refuse(message, 307, "Temporary Redirect");
  soup_message_headers_replace(soup_server_message_get_response_headers(message), "Location", location.c_str());
}

}  // namespace

LocalServer::LocalServer(LoopbackAddress address, std::string secret, ILocalRequestHandler* handler)
    : m_address(std::move(address)), m_guard(m_address.HostHeader(), std::move(secret)), m_handler(handler) {}

LocalServer::~LocalServer() {
  if (m_restoreTimer) g_source_remove(m_restoreTimer);
  for (const auto& waiting : m_waiting) g_signal_handlers_disconnect_by_data(waiting.Get(), this);
  if (m_server) soup_server_disconnect(m_server.Get());
}

HRESULT LocalServer::Start(LoopbackAddress loopback, std::string secret, ILocalRequestHandler* handler,
                           std::unique_ptr<LocalServer>* server) {
  const std::uint16_t port = loopback.Port();
  std::unique_ptr<LocalServer> created(new (std::nothrow) LocalServer(std::move(loopback), std::move(secret), handler));
  if (!created) return E_OUTOFMEMORY;
  // No "Server" header: nothing about the program needs to be told.
  created->m_server = GObjectPtr<SoupServer>::Adopt(soup_server_new("server-header", nullptr, nullptr));
  if (!created->m_server) return E_FAIL;
  soup_server_add_handler(created->m_server.Get(), nullptr, &LocalServer::OnRequest, created.get(), nullptr);
  created->m_listener = std::make_unique<LocalListener>(created->m_server.Get());
  g_autoptr(GInetAddress) host = g_inet_address_new_from_string(created->m_address.Host().c_str());
  if (!host || !g_inet_address_get_is_loopback(host)) return E_INVALIDARG;
  g_autoptr(GSocketAddress) address = g_inet_socket_address_new(host, port);
  g_autoptr(GError) error = nullptr;
  if (!created->m_listener->Listen(address, &error)) {
    const bool inUse = error && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_ADDRESS_IN_USE);
    RequestTrace::Instance().Event("local-server-failed", "",
                                   {{"host", created->m_address.Host()}, {"port", std::to_string(port)},
                                    {"error", error ? error->message : ""}});
    if (inUse) return kAddressInUse;
    if (error && error->domain == G_IO_ERROR && error->code == G_IO_ERROR_PERMISSION_DENIED)
      return HResultFromErrno(EACCES);
    return E_FAIL;
  }
  RequestTrace::Instance().Event("local-server-started", created->m_address.Origin(), {{"port", std::to_string(port)}});
  *server = std::move(created);
  return S_OK;
}

void LocalServer::OnRequest(SoupServer*, SoupServerMessage* message, const char*, GHashTable*, gpointer self) {
  static_cast<LocalServer*>(self)->Serve(message);
}

void LocalServer::SetHead(SoupServerMessage* message, int status, const std::string& reason,
                          const std::string& headerBlock) {
  // A status no HTTP client could read is no answer the page can use.
  if (status < 100 || status > 599) status = 500;
  soup_server_message_set_status(message, static_cast<guint>(status), reason.empty() ? nullptr : reason.c_str());
  SoupMessageHeaders* headers = soup_server_message_get_response_headers(message);
  for (const auto& [name, value] : ResponseHeaderBlock::Parse(headerBlock))
    soup_message_headers_append(headers, name.c_str(), value.c_str());
  soup_message_headers_replace(headers, "Cache-Control", "no-store");
}

void LocalServer::Serve(SoupServerMessage* message) {
  GUri* uri = soup_server_message_get_uri(message);
  const char* query = g_uri_get_query(uri);
  const std::string fileUri =
      m_address.ToFileUri(m_address.Origin() + g_uri_get_path(uri) + (query ? std::string("?") + query : ""));

  const LocalRequestGuard::Verdict verdict =
      m_guard.Check(Header(message, "Host"), Header(message, "Cookie"), Header(message, "Sec-Fetch-Site"));
  // Only a request the engine marked as its own pages' waits for the secret;
  // another client's (which says nothing of where it comes from) is refused.
  const char* fetchSite = Header(message, "Sec-Fetch-Site");
  if (verdict == LocalRequestGuard::Verdict::kNoSecret && fetchSite && LocalRequestGuard::FromOwnPages(fetchSite)) {
    AwaitSecret(message, fileUri);
    return;
  }
  if (verdict != LocalRequestGuard::Verdict::kAllowed) {
    RequestTrace::Instance().Event("local-request-refused", fileUri, {{"reason", LocalRequestGuard::Describe(verdict)}});
    RefuseAndClose(message);
    return;
  }
  const std::string method = soup_server_message_get_method(message);
  if (method != "GET" && method != "HEAD") {
    Refuse(message, 405, "Method Not Allowed");
    return;
  }
  const char* destination = Header(message, "Sec-Fetch-Dest");
  const std::string_view dest = destination ? destination : "";
  const char* accept = Header(message, "Accept");
  const char* range = Header(message, "Range");
  // Over HTTP the engine names media requests in Sec-Fetch-Dest, and its
  // player need not open with a range.
  const bool media = range != nullptr || dest == "video" || dest == "audio";
  const COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = ResourceContextClassifier::Classify(accept ? accept : "", media);
  // A main-frame document request is a navigation the program has its say
  // on; a cancelled one is answered "204 No Content", which leaves the page
  // as it was (the runtime also ignores that response's policy decision).
  const ILocalRequestHandler::Answer answer = m_handler->HandleLocalRequest(fileUri, dest == "document", context);
  if (answer.outcome == ILocalRequestHandler::Outcome::kNoView) {
    Refuse(message, 503, "Service Unavailable");
    return;
  }
  if (answer.outcome == ILocalRequestHandler::Outcome::kCancelled) {
    Refuse(message, 204, "No Content");
    return;
  }
  const ComPtr<ICoreWebView2WebResourceResponse>& response = answer.response;
  if (!response) {
    ServeFile(message, fileUri, context);
    return;
  }
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
  const std::string headerText =
      content ? WithContentType(WideToUtf8(View(headers)), fileUri) : WideToUtf8(View(headers));
  SetHead(message, status, reasonText, headerText);
  ResponseBodyPump::Start(message, std::move(content));
  RequestTrace::Instance().Request(fileUri, context, status, reasonText, "program", headerText);
}

void LocalServer::AwaitSecret(SoupServerMessage* message, const std::string& fileUri) {
  // Any local process can ask without the secret; what it gets is a
  // redirect to where it asked and, once in a while, the cookie given again
  // to the engine, which learns nothing.
  RequestTrace::Instance().Event("local-request-refused", fileUri, {{"reason", "no-secret"}});
  if (!m_restoring && m_quickRedirects > 0) {
    --m_quickRedirects;
    RedirectToItself(message);
    return;
  }
  soup_server_message_pause(message);
  m_waiting.push_back(GObjectPtr<SoupServerMessage>::Ref(message));
  g_signal_connect(message, "disconnected", G_CALLBACK(&LocalServer::OnWaitingDisconnected), this);
  if (m_restoring || m_restoreTimer) return;
  const gint64 wait = m_restoredAt + gint64{kRestoreIntervalMs} * 1000 - g_get_monotonic_time();
  if (m_restoredAt == 0 || wait <= 0) {
    RestoreSecret();
    return;
  }
  m_restoreTimer = g_timeout_add(static_cast<guint>(wait / 1000 + 1), [](gpointer self) {
    auto* server = static_cast<LocalServer*>(self);
    server->m_restoreTimer = 0;
    server->RestoreSecret();
    return G_SOURCE_REMOVE;
  }, this);
}

void LocalServer::RestoreSecret() {
  m_restoring = true;
  m_handler->RestoreSecret([this, alive = std::weak_ptr<int>(m_lifetime)] {
    if (!alive.expired()) OnSecretRestored();
  });
}

void LocalServer::OnSecretRestored() {
  m_restoring = false;
  m_restoredAt = g_get_monotonic_time();
  m_quickRedirects = kQuickRedirects;
  RequestTrace::Instance().Event("local-secret-restored", "", {{"waiting", std::to_string(m_waiting.size())}});
  for (const auto& waiting : std::exchange(m_waiting, {})) {
    g_signal_handlers_disconnect_by_data(waiting.Get(), this);
    RedirectToItself(waiting.Get());
    soup_server_message_unpause(waiting.Get());
  }
}

void LocalServer::OnWaitingDisconnected(SoupServerMessage* message, gpointer self) {
  auto& waiting = static_cast<LocalServer*>(self)->m_waiting;
  std::erase_if(waiting, [message](const GObjectPtr<SoupServerMessage>& held) { return held.Get() == message; });
}

void LocalServer::ServeFile(SoupServerMessage* message, const std::string& fileUri, int context) {
  std::string path;
  UniqueFd file;
  struct stat info {};
  HRESULT hr = FileUrlToNativePath(fileUri, path);
  // Only regular files: a folder has no bytes, and a pipe or device could
  // block the thread that runs the window.
  if (SUCCEEDED(hr)) hr = FileStream::OpenRegularFile(path, file, info);
  const auto size = static_cast<std::uint64_t>(info.st_size);
  ByteRange range{0, size ? size - 1 : 0};
  const char* rangeHeader = Header(message, "Range");
  const ByteRange::Outcome outcome =
      rangeHeader ? ByteRange::Parse(rangeHeader, size, &range) : ByteRange::Outcome::kWhole;
  if (outcome == ByteRange::Outcome::kWhole) range = ByteRange{0, size ? size - 1 : 0};
  // The body is a stream over the part asked for; its size announces the
  // body's length. An unsatisfiable range has no body.
  ComPtr<IStream> body;
  if (SUCCEEDED(hr) && outcome != ByteRange::Outcome::kUnsatisfiable)
    hr = FileStream::Create(std::move(file), range.first, outcome == ByteRange::Outcome::kPartial ? range.Length() : size,
                            body.GetAddressOf());
  if (FAILED(hr)) {
    SetHead(message, 404, "Not Found", "");
    ResponseBodyPump::Start(message, nullptr);
    RequestTrace::Instance().Request(fileUri, context, 404, "Not Found", "engine", "");
    return;
  }
  // A name the system does not know gets no type; the engine then sniffs the
  // media itself, as it would for an untyped answer of the program.
  std::vector<ResponseHeaderBlock::Header> headers{{"Accept-Ranges", "bytes"}};
  if (const std::string type = FileContentType::ForFileName(path); !type.empty())
    headers.emplace(headers.begin(), "Content-Type", type);
  int status = 200;
  std::string reason = "OK";
  if (outcome == ByteRange::Outcome::kUnsatisfiable) {
    status = 416, reason = "Range Not Satisfiable";
    headers.emplace_back("Content-Range", "bytes */" + std::to_string(size));
  } else if (outcome == ByteRange::Outcome::kPartial) {
    status = 206, reason = "Partial Content";
    headers.emplace_back("Content-Range", "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) +
                                              "/" + std::to_string(size));
  }
  const std::string headerText = HeaderText(headers);
  SetHead(message, status, reason, headerText);
  ResponseBodyPump::Start(message, std::move(body));
  RequestTrace::Instance().Request(fileUri, context, status, reason, "engine", headerText);
}
