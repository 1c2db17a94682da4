#include "RuntimeHost.h"

#include <dlfcn.h>
#include <glib/gstdio.h>

#include "FileStream.h"
#include "TestEnvironmentOptions.h"
#include "com/Callback.h"
#include "com/CoTaskMem.h"
#include "util/Strings.h"

// Marks the time the host spends inside a call into the runtime; a handler
// that runs meanwhile was called back from inside that call.
struct RuntimeHost::CallScope {
  explicit CallScope(RuntimeHost& host) : m_host(host) { m_host.m_insideCall = true; }
  ~CallScope() { m_host.m_insideCall = false; }
  RuntimeHost& m_host;
};

namespace {
std::string Take(LPWSTR raw) {
  const CoTaskMemString owned(raw);
  return WideToUtf8(View(owned));
}
// Removes a folder and everything in it (the engine's data of one test).
void RemoveTree(const std::string& path) {
  if (GDir* dir = g_dir_open(path.c_str(), 0, nullptr)) {
    while (const char* name = g_dir_read_name(dir)) {
      g_autofree char* child = g_build_filename(path.c_str(), name, nullptr);
      if (g_file_test(child, G_FILE_TEST_IS_DIR) && !g_file_test(child, G_FILE_TEST_IS_SYMLINK))
        RemoveTree(child);
      else
        g_remove(child);
    }
    g_dir_close(dir);
  }
  g_rmdir(path.c_str());
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
}  // namespace

RuntimeHost::RuntimeHost(Options options) : m_options(std::move(options)) {
  m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(m_window), 800, 600);
  gtk_window_set_title(GTK_WINDOW(m_window), "Runtime test host");
  m_fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(m_window), m_fixed);
  g_signal_connect(m_window, "window-state-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventWindowState* event, gpointer host) -> gboolean {
                     if (event->new_window_state & GDK_WINDOW_STATE_FULLSCREEN)
                       static_cast<RuntimeHost*>(host)->m_windowWasFullScreen = true;
                     return FALSE;
                   }),
                   this);
  gtk_widget_show_all(m_window);
}

RuntimeHost::~RuntimeHost() {
  m_webView = nullptr;
  m_controller = nullptr;
  m_environment = nullptr;
  if (m_window) gtk_widget_destroy(m_window);
  // Let the engine finish what the destruction started before the next test.
  for (int i = 0; i < 50 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
  if (!m_userDataFolder.empty()) RemoveTree(m_userDataFolder);
}

void RuntimeHost::Callback() {
  if (m_insideCall) ++m_reentrant;
}

std::string RuntimeHost::PathFromFileUri(const std::string& uri) {
  if (uri.rfind("file://", 0) != 0) return {};
  std::string rest = uri.substr(7);
  rest = rest.substr(0, rest.find_first_of("?#"));
  g_autofree char* decoded = g_uri_unescape_string(rest.c_str(), nullptr);
  return decoded ? decoded : "";
}

std::string RuntimeHost::HeadersFor(const std::string& path) {
  std::string headers =
      "Cross-Origin-Embedder-Policy: require-corp\nCross-Origin-Opener-Policy: same-origin\n"
      "Cross-Origin-Resource-Policy: cross-origin\n";
  if (EndsWith(path, ".html")) headers += "Content-Type: text/html\n";
  if (EndsWith(path, ".js")) headers += "Content-Type: text/javascript\n";
  if (EndsWith(path, ".json")) headers += "Content-Type: application/json\n";
  if (EndsWith(path, ".css")) headers += "Content-Type: text/css\n";
  if (EndsWith(path, ".wasm")) headers += "Content-Type: application/wasm\n";
  if (EndsWith(path, ".txt")) headers += "Content-Type: text/plain\n";
  return headers;
}

void RuntimeHost::OnWebResourceRequested(ICoreWebView2WebResourceRequestedEventArgs* args) {
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL;
  args->get_ResourceContext(&context);
  ComPtr<ICoreWebView2WebResourceRequest> request;
  args->get_Request(request.GetAddressOf());
  LPWSTR raw = nullptr;
  request->get_Uri(&raw);
  const std::string uri = Take(raw);
  m_requests.push_back(uri);
  m_requestContexts.push_back(context);
  if (context == COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA) return;
  if (uri.rfind("file://", 0) != 0) return;
  if (!m_options.leaveUnansweredContaining.empty() && uri.find(m_options.leaveUnansweredContaining) != std::string::npos)
    return;
  const std::string path = PathFromFileUri(uri);
  const std::u16string headers = Utf8ToWide(HeadersFor(path));
  ComPtr<IStream> stream = FileStream::Open(path);
  ComPtr<ICoreWebView2WebResourceResponse> response;
  if (stream)
    m_environment->CreateWebResourceResponse(stream.Get(), 200, u"OK", headers.c_str(), response.GetAddressOf());
  else
    m_environment->CreateWebResourceResponse(nullptr, 404, u"Not Found", headers.c_str(), response.GetAddressOf());
  args->put_Response(response.Get());
}

bool RuntimeHost::Start(std::string* error) {
  m_library = dlopen(VELLUM_RUNTIME_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  if (!m_library) {
    *error = dlerror();
    return false;
  }
  auto entry = reinterpret_cast<CreateWebViewEnvironmentWithOptionsInternalFn>(dlsym(m_library, kCreateEnvironmentEntryName));
  if (!entry) {
    *error = "entry not exported";
    return false;
  }
  g_autofree char* userData = g_dir_make_tmp("vellum-runtime-udf-XXXXXX", nullptr);
  m_userDataFolder = userData ? userData : "";
  const std::u16string folder = Utf8ToWide(m_userDataFolder);

  auto onController = ::Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
      [this](HRESULT result, ICoreWebView2Controller* controller) -> HRESULT {
        Callback();
        m_creationResult = result;
        m_creationDone = true;
        if (!controller) return S_OK;
        m_controller = controller;
        m_controller->get_CoreWebView2(m_webView.GetAddressOf());
        CallScope scope(*this);
        ComPtr<ICoreWebView2Settings> settings;
        m_webView->get_Settings(settings.GetAddressOf());
        settings->put_IsScriptEnabled(TRUE);
        settings->put_AreDefaultScriptDialogsEnabled(m_options.scriptDialogs);
        settings->put_IsWebMessageEnabled(TRUE);
        settings->put_AreDevToolsEnabled(FALSE);
        m_controller->put_Bounds(RECT{0, 0, 800, 600});
        EventRegistrationToken token;
        m_webView->add_ContainsFullScreenElementChanged(
            ::Callback<ICoreWebView2ContainsFullScreenElementChangedEventHandler>(
                [this](ICoreWebView2* sender, IUnknown*) -> HRESULT {
                  Callback();
                  BOOL value = FALSE;
                  sender->get_ContainsFullScreenElement(&value);
                  m_fullScreenValues.push_back(value);
                  return S_OK;
                })
                .Get(),
            &token);
        m_webView->add_NavigationStarting(
            ::Callback<ICoreWebView2NavigationStartingEventHandler>(
                [this](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) -> HRESULT {
                  Callback();
                  LPWSTR raw = nullptr;
                  args->get_Uri(&raw);
                  const std::string uri = Take(raw);
                  m_navigations.push_back(uri);
                  if (!m_options.cancelNavigationsContaining.empty() &&
                      uri.find(m_options.cancelNavigationsContaining) != std::string::npos)
                    args->put_Cancel(TRUE);
                  return S_OK;
                })
                .Get(),
            &token);
        m_webView->add_NewWindowRequested(
            ::Callback<ICoreWebView2NewWindowRequestedEventHandler>(
                [this](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) -> HRESULT {
                  Callback();
                  if (m_options.handleNewWindows) args->put_Handled(TRUE);
                  LPWSTR raw = nullptr;
                  args->get_Uri(&raw);
                  m_newWindows.push_back(Take(raw));
                  return S_OK;
                })
                .Get(),
            &token);
        ComPtr<ICoreWebView2_22> webView22;
        m_webView.As(&webView22);
        webView22->add_DownloadStarting(
            ::Callback<ICoreWebView2DownloadStartingEventHandler>(
                [this](ICoreWebView2*, ICoreWebView2DownloadStartingEventArgs* args) -> HRESULT {
                  Callback();
                  ComPtr<ICoreWebView2DownloadOperation> operation;
                  args->get_DownloadOperation(operation.GetAddressOf());
                  LPWSTR raw = nullptr;
                  operation->get_Uri(&raw);
                  const std::string uri = Take(raw);
                  m_downloads.push_back(uri);
                  if (!m_options.cancelDownloadsContaining.empty() &&
                      uri.find(m_options.cancelDownloadsContaining) != std::string::npos)
                    args->put_Cancel(TRUE);
                  return S_OK;
                })
                .Get(),
            &token);
        webView22->AddWebResourceRequestedFilterWithRequestSourceKinds(u"*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL,
                                                                       COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL);
        m_webView->add_WebResourceRequested(
            ::Callback<ICoreWebView2WebResourceRequestedEventHandler>(
                [this](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) -> HRESULT {
                  Callback();
                  OnWebResourceRequested(args);
                  return S_OK;
                })
                .Get(),
            &token);
        return S_OK;
      });
  auto onEnvironment = ::Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
      [this, onController](HRESULT result, ICoreWebView2Environment* environment) -> HRESULT {
        Callback();
        if (!environment) {
          m_creationResult = result;
          m_creationDone = true;
          return S_OK;
        }
        m_environment = environment;
        CallScope scope(*this);
        const HRESULT hr =
            m_environment->CreateCoreWebView2Controller(reinterpret_cast<HWND>(m_fixed), onController.Get());
        if (FAILED(hr)) {
          m_creationResult = hr;
          m_creationDone = true;
        }
        return S_OK;
      });
  HRESULT hr;
  {
    CallScope scope(*this);
    ComPtr<TestEnvironmentOptions> options = MakeComObject<TestEnvironmentOptions>(m_options.browserArguments, u"ja-JP");
    hr = entry(0, 0, folder.c_str(), options.Get(), onEnvironment.Get());
  }
  if (FAILED(hr)) {
    *error = "entry failed";
    return false;
  }
  if (!RunUntil([this] { return m_creationDone; }) || !m_controller) {
    *error = "controller not created";
    return false;
  }
  return true;
}

HRESULT RuntimeHost::Navigate(const std::string& uri) {
  CallScope scope(*this);
  return m_webView->Navigate(Utf8ToWide(uri).c_str());
}

bool RuntimeHost::RunUntil(const std::function<bool()>& done) {
  bool expired = false;
  const guint guard = g_timeout_add_seconds(
      60, [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      },
      &expired);
  while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
  if (!expired) g_source_remove(guard);
  return !expired;
}

bool RuntimeHost::SawRequestContaining(const std::string& text) const { return !RequestContaining(text).empty(); }

std::string RuntimeHost::RequestContaining(const std::string& text) const {
  for (const auto& r : m_requests)
    if (r.find(text) != std::string::npos) return r;
  return {};
}

void RuntimeHost::ClickInView(int x, int y) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(m_fixed));
  GtkWidget* view = children ? GTK_WIDGET(children->data) : m_fixed;
  g_list_free(children);
  GdkWindow* window = gtk_widget_get_window(view);
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(window)));
  for (GdkEventType type : {GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
    GdkEvent* event = gdk_event_new(type);
    event->button.window = GDK_WINDOW(g_object_ref(window));
    event->button.send_event = FALSE;
    event->button.time = GDK_CURRENT_TIME;
    event->button.x = x;
    event->button.y = y;
    event->button.button = 1;
    gdk_event_set_device(event, pointer);
    gtk_main_do_event(event);
    gdk_event_free(event);
  }
}

void RuntimeHost::DestroyWindow() {
  gtk_widget_destroy(m_window);
  m_window = nullptr;
  m_fixed = nullptr;
}

HRESULT RuntimeHost::PutBounds(RECT bounds) {
  CallScope scope(*this);
  return m_controller->put_Bounds(bounds);
}

HRESULT RuntimeHost::CreateControllerOn(GtkWidget* parent) {
  CallScope scope(*this);
  auto handler = ::Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
      [this](HRESULT, ICoreWebView2Controller*) -> HRESULT {
        Callback();
        return S_OK;
      });
  const HRESULT hr = m_environment->CreateCoreWebView2Controller(reinterpret_cast<HWND>(parent), handler.Get());
  // A widget made only for this call is owned by nobody: free it here.
  if (parent && g_object_is_floating(parent)) {
    g_object_ref_sink(parent);
    g_object_unref(parent);
  }
  return hr;
}

void RuntimeHost::AddHandlerHoldingTheView(std::weak_ptr<int>* alive) {
  ComPtr<ICoreWebView2_2> view;
  m_webView.As(&view);
  auto sentinel = std::make_shared<int>(0);
  *alive = sentinel;
  EventRegistrationToken token;
  CallScope scope(*this);
  m_webView->add_WebResourceRequested(
      ::Callback<ICoreWebView2WebResourceRequestedEventHandler>(
          [view, sentinel](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs*) -> HRESULT { return S_OK; })
          .Get(),
      &token);
}

void RuntimeHost::ReleaseRuntimeObjects() {
  m_webView = nullptr;
  m_controller = nullptr;
}

int RuntimeHost::ParentChildCount() const {
  GList* children = gtk_container_get_children(GTK_CONTAINER(m_fixed));
  const int n = static_cast<int>(g_list_length(children));
  g_list_free(children);
  return n;
}
