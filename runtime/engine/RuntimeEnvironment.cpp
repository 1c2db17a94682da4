#include "runtime/engine/RuntimeEnvironment.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "runtime/engine/EngineSignals.h"
#include "runtime/engine/MainLoopQueue.h"
#include "runtime/engine/RuntimeController.h"
#include "runtime/engine/RuntimeWebView.h"
#include "runtime/events/WebResourceResponse.h"
#include "runtime/loopback/RequestTrace.h"
#include "util/Strings.h"
#include "util/Win32Error.h"
#include "webview/ICoreWebView2CreateCoreWebView2ControllerCompletedHandler.h"

namespace {

GObjectPtr<WebKitWebContext> CreateContext(const std::string& userDataFolder) {
  if (userDataFolder.empty()) return GObjectPtr<WebKitWebContext>::Adopt(webkit_web_context_new());
  g_autofree char* data = g_build_filename(userDataFolder.c_str(), "EBWebView", "Data", nullptr);
  g_autofree char* cache = g_build_filename(userDataFolder.c_str(), "EBWebView", "Cache", nullptr);
  g_autoptr(WebKitWebsiteDataManager) manager =
      webkit_website_data_manager_new("base-data-directory", data, "base-cache-directory", cache, nullptr);
  return GObjectPtr<WebKitWebContext>::Adopt(webkit_web_context_new_with_website_data_manager(manager));
}

// The engine wants a language list; the program gives one tag.
void SetLanguage(WebKitWebContext* context, const std::string& language) {
  if (language.empty()) return;
  const char* languages[] = {language.c_str(), nullptr};
  webkit_web_context_set_preferred_languages(context, languages);
}

}  // namespace

RuntimeEnvironment::RuntimeEnvironment(const std::string& userDataFolder, BrowserArguments arguments,
                                       const std::string& language)
    : m_context(CreateContext(userDataFolder)), m_arguments(arguments) {
  WebKitWebContext* context = m_context.Get();
  // Off in this engine's default; said again so that no change of default can
  // keep the web process from loading the extension beside this library.
  webkit_web_context_set_sandbox_enabled(context, FALSE);
  const std::string extensions = WebExtensionDirectory();
  if (!extensions.empty()) webkit_web_context_set_web_extensions_directory(context, extensions.c_str());
  SetLanguage(context, language);
  EngineSignals::ConnectContext(context, this);
}

RuntimeEnvironment::~RuntimeEnvironment() { EngineSignals::DisconnectContext(m_context.Get(), this); }

HRESULT RuntimeEnvironment::PrepareFolder(const std::string& folder) {
  if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) return HResultFromErrno(errno);
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return HResultFromErrno(errno);
  return S_OK;
}

HRESULT RuntimeEnvironment::Create(const std::string& userDataFolder, BrowserArguments arguments,
                                   const std::string& language, ComPtr<RuntimeEnvironment>* environment) {
  // The engine would go on without a folder it cannot write and keep the
  // application's storage nowhere; the program must hear of it instead.
  if (!userDataFolder.empty()) {
    g_autofree char* data = g_build_filename(userDataFolder.c_str(), "EBWebView", "Data", nullptr);
    g_autofree char* cache = g_build_filename(userDataFolder.c_str(), "EBWebView", "Cache", nullptr);
    for (const char* folder : {data, cache})
      if (const HRESULT hr = PrepareFolder(folder); FAILED(hr)) {
        RequestTrace::Instance().Event("data-folder-failed", "", {{"folder", folder}});
        return hr;
      }
  }
  ComPtr<RuntimeEnvironment> created = MakeComObject<RuntimeEnvironment>(userDataFolder, arguments, language);
  if (!created) return E_OUTOFMEMORY;
  const LoopbackAddress address(LoopbackAddress::HostForFolder(userDataFolder), LoopbackAddress::PortForFolder(userDataFolder));
  if (const HRESULT hr = created->StartServer(address); FAILED(hr)) return hr;
  *environment = std::move(created);
  return S_OK;
}

HRESULT RuntimeEnvironment::StartServer(LoopbackAddress address) {
  std::string secret = LocalRequestGuard::NewSecret();
  if (secret.empty()) return HResultFromErrno(errno ? errno : EIO);
  m_secret = secret;
  if (const HRESULT hr = LocalServer::Start(std::move(address), std::move(secret), this, &m_server); FAILED(hr))
    return hr;
  // The extension learns the server's address and port, to rewrite the
  // file:// requests of local pages to it; it never learns the secret.
  webkit_web_context_set_web_extensions_initialization_user_data(
      m_context.Get(), g_variant_new("(sq)", m_server->Address().Host().c_str(), m_server->Address().Port()));
  // Pages wait for the cookie (WhenReady), since a request made before the
  // engine has it would be refused.
  AddSecretCookie([this] { OnCookieAdded(); });
  return S_OK;
}

void RuntimeEnvironment::AddSecretCookie(std::function<void()> done) {
  // A session cookie (no expiry), which the engine keeps in memory and never
  // writes to its cookie file; host-only for the server's own address, so
  // that no other server is sent it; out of reach of the page's scripts.
  SoupCookie* cookie = soup_cookie_new(std::string(LocalRequestGuard::kCookieName).c_str(), m_secret.c_str(),
                                       m_server->Address().Host().c_str(), "/", -1);
  soup_cookie_set_http_only(cookie, TRUE);
  WebKitCookieManager* cookies =
      webkit_website_data_manager_get_cookie_manager(webkit_web_context_get_website_data_manager(m_context.Get()));
  struct Pending {
    ComPtr<RuntimeEnvironment> environment;  // held until the engine reports the cookie added
    std::function<void()> done;
  };
  webkit_cookie_manager_add_cookie(
      cookies, cookie, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        const std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
        g_autoptr(GError) error = nullptr;
        if (!webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(source), result, &error))
          RequestTrace::Instance().Event("local-cookie-failed", "", {{"error", error ? error->message : ""}});
        pending->done();
      },
      new Pending{ComPtr<RuntimeEnvironment>(this), std::move(done)});
  soup_cookie_free(cookie);
}

void RuntimeEnvironment::RestoreSecret(std::function<void()> done) { AddSecretCookie(std::move(done)); }

void RuntimeEnvironment::OnCookieAdded() {
  RequestTrace::Instance().Event("local-cookie-added", "");
  m_ready = true;
  for (auto& task : std::exchange(m_waiting, {})) task();
}

void RuntimeEnvironment::WhenReady(std::function<void()> task) {
  if (m_ready)
    task();
  else
    m_waiting.push_back(std::move(task));
}

void RuntimeEnvironment::AddView(RuntimeWebView* view) { m_views.push_back(view); }

void RuntimeEnvironment::RemoveView(RuntimeWebView* view) {
  m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

ILocalRequestHandler::Answer RuntimeEnvironment::HandleLocalRequest(const std::string& fileUri,
                                                                   bool mainFrameDocument,
                                                                   COREWEBVIEW2_WEB_RESOURCE_CONTEXT context) {
  // The view is held while the program is asked: a handler may close it.
  ComPtr<RuntimeWebView> view(m_views.empty() ? nullptr : m_views.back());
  if (!view) return {Outcome::kNoView, nullptr};
  if (mainFrameDocument && !view->AllowDocumentRequest(fileUri)) return {Outcome::kCancelled, nullptr};
  return {Outcome::kOffered, view->RaiseWebResourceRequested(fileUri, context)};
}

std::string RuntimeEnvironment::WebExtensionDirectory() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<const void*>(&RuntimeEnvironment::WebExtensionDirectory), &info) || !info.dli_fname)
    return {};
  g_autofree char* folder = g_path_get_dirname(info.dli_fname);
  // A folder of its own, so the engine loads only the extension in every web
  // process and not this library as well.
  g_autofree char* extensions = g_build_filename(folder, "webextension", nullptr);
  return extensions;
}

HRESULT RuntimeEnvironment::CreateCoreWebView2Controller(
    HWND parentWindow, ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler) {
  if (!handler) return E_POINTER;
  if (!parentWindow) return E_INVALIDARG;
  // The platform hands the window's widget itself as the handle.
  auto* parent = reinterpret_cast<GtkWidget*>(parentWindow);
  if (!GTK_IS_CONTAINER(parent)) return E_INVALIDARG;
  // The parent is held until the view is placed, in case the window goes
  // away before the main loop comes round.
  MainLoopQueue::Post([self = ComPtr<RuntimeEnvironment>(this),
                       done = ComPtr<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(handler),
                       held = GObjectPtr<GtkWidget>::Ref(parent)] {
    ComPtr<RuntimeWebView> view;
    if (!gtk_widget_in_destruction(held.Get())) view = RuntimeWebView::Create(self, held.Get());
    ComPtr<RuntimeController> controller = view ? MakeComObject<RuntimeController>(view) : nullptr;
    if (!controller) {
      done->Invoke(view ? E_OUTOFMEMORY : E_ABORT, nullptr);
      return;
    }
    done->Invoke(S_OK, controller.Get());
  });
  return S_OK;
}

HRESULT RuntimeEnvironment::CreateWebResourceResponse(IStream* content, int statusCode, LPCWSTR reasonPhrase,
                                                      LPCWSTR headers, ICoreWebView2WebResourceResponse** response) {
  if (!response) return E_POINTER;
  *response = nullptr;
  ComPtr<WebResourceResponse> created = MakeComObject<WebResourceResponse>(
      ComPtr<IStream>(content), statusCode, std::u16string(reasonPhrase ? reasonPhrase : u""),
      std::u16string(headers ? headers : u""));
  if (!created) return E_OUTOFMEMORY;
  *response = created.Detach();
  return S_OK;
}

void RuntimeEnvironment::OnDownloadStarted(WebKitDownload* download) {
  if (RuntimeWebView* view = RuntimeWebView::FromEngineView(webkit_download_get_web_view(download)))
    view->OnDownloadStarted(download);
}
