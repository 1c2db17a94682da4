#pragma once
// A tiny program for the runtime under test: a GTK window with a GtkFixed as
// the web view's parent, the runtime library opened with dlopen, an
// environment, a controller and the handlers a real host registers. It
// answers local requests as the program does (its file stream and header
// block, 404 for a missing file), leaves media to the runtime, and records
// every event it receives. What it does besides is chosen by a text the
// address contains, each used by one mode of the test page only.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "com/Callback.h"
#include "com/CoTaskMem.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "util/FileStream.h"
#include "util/FileUrl.h"
#include "util/Strings.h"
#include "view/LocalFileResponse.h"
#include "webview/EngineContract.h"

class RuntimeHost {
 public:
  static constexpr char kCancelDownload[] = "data.bin";
  // Files whose names hold this are left unanswered, for the runtime to serve like media.
  static constexpr char kLeaveUnanswered[] = "-left.";

  // The data folder is the caller's, and stays.
  explicit RuntimeHost(std::string userDataFolder) : m_userDataFolder(std::move(userDataFolder)) {
    gtk_window_set_default_size(GTK_WINDOW(window), 800, 600);
    gtk_container_add(GTK_CONTAINER(window), fixed);
    gtk_widget_show_all(window);
  }

  ~RuntimeHost() {
    webView = nullptr, controller = nullptr, environment = nullptr;
    if (window) gtk_widget_destroy(window);
    // Let the engine finish what the destruction started before the next test.
    for (int i = 0; i < 50 && g_main_context_iteration(nullptr, FALSE); ++i) continue;
  }

  // Opens the library and creates environment and controller, running the
  // main loop until the controller exists.
  void Start() {
    void* library = dlopen(VELLUM_RUNTIME_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto entry = m_entry =
        reinterpret_cast<CreateWebViewEnvironmentWithOptionsInternalFn>(dlsym(library, kCreateEnvironmentEntryName));
    ASSERT_NE(entry, nullptr);
    auto onController = On<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
        [this](HRESULT, ICoreWebView2Controller* created) {
          m_creationDone = true;
          if ((controller = created)) Register();
        });
    auto onEnvironment = On<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
        [this, onController](HRESULT, ICoreWebView2Environment* environment) {
          const auto parent = reinterpret_cast<HWND>(fixed);
          m_creationDone = !(this->environment = environment) ||
                           FAILED(Call([&] { return environment->CreateCoreWebView2Controller(parent, onController.Get()); }));
        });
    // The options the program passes: its browser arguments and a language.
    ComPtr<CoreWebView2EnvironmentOptions> options = MakeComObject<CoreWebView2EnvironmentOptions>();
    options->put_AdditionalBrowserArguments(u"--disable-web-security --allow-file-access-from-files --allow-file-access");
    options->put_Language(u"ja-JP");
    const std::u16string userData = Utf8ToWide(m_userDataFolder);
    ASSERT_EQ(Call([&] { return entry(0, 0, userData.c_str(), options.Get(), onEnvironment.Get()); }), S_OK);
    ASSERT_TRUE(RunUntil([this] { return m_creationDone; }) && controller) << "controller not created";
  }

  // What a second environment on this host's data folder gets while the first lives.
  HRESULT CreateSecondEnvironment() {
    auto ignored = On<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>([](HRESULT, ICoreWebView2Environment*) {});
    const std::u16string userData = Utf8ToWide(m_userDataFolder);
    return Call([&] { return m_entry(0, 0, userData.c_str(), nullptr, ignored.Get()); });
  }

  // Runs the main loop until `done` is true or the hang guard fires (the
  // guard only stops a broken test from running for ever).
  template <typename F>
  bool RunUntil(F done) {
    bool expired = false;
    const guint guard =
        g_timeout_add_seconds(60, [](gpointer flag) { return *static_cast<bool*>(flag) = true, G_SOURCE_REMOVE; }, &expired);
    while (!done() && !expired) g_main_context_iteration(nullptr, TRUE);
    if (!expired) g_source_remove(guard);
    return !expired;
  }

  // The first address the program was asked for that contains `text`, or empty.
  std::string RequestContaining(const std::string& text) const {
    for (const std::string& uri : requests)
      if (uri.find(text) != std::string::npos) return uri;
    return {};
  }

  // Calls into the runtime; a handler of ours that runs meanwhile counts as reentrant.
  template <typename F>
  HRESULT Call(F call) {
    const HRESULT hr = (m_insideCall = true, call());
    return m_insideCall = false, hr;
  }
  HRESULT Navigate(const std::string& uri) { return Call([&] { return webView->Navigate(Utf8ToWide(uri).c_str()); }); }
  HRESULT CreateControllerOn(GtkWidget* parent) {
    auto handler = On<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>([](HRESULT, ICoreWebView2Controller*) {});
    const HRESULT hr = Call([&] { return environment->CreateCoreWebView2Controller(reinterpret_cast<HWND>(parent), handler.Get()); });
    // A widget made only for this call is owned by nobody: free it here.
    if (parent && g_object_is_floating(parent)) g_object_unref(g_object_ref_sink(parent));
    return hr;
  }
  // Registers a handler through an add_ method of the view.
  template <typename Target, typename Interface, typename Handler, typename F>
  void Add(Target* target, HRESULT (Interface::*add)(Handler*, EventRegistrationToken*), F f) {
    EventRegistrationToken token;
    Call([&] { return (target->*add)(On<Handler>(f).Get(), &token); });
  }

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWidget* fixed = gtk_fixed_new();  // the web view's parent
  ComPtr<ICoreWebView2Environment> environment;
  ComPtr<ICoreWebView2Controller> controller;
  ComPtr<ICoreWebView2> webView;
  // What reached the host, in order.
  std::vector<std::string> requests, navigations, newWindows;
  std::map<std::string, int> contexts;  // of each address requested
  int reentrantCallbacks = 0;

 private:
  template <typename T>
  static std::string UriOf(T* object) {
    LPWSTR raw = nullptr;
    return object->get_Uri(&raw), WideToUtf8(View(CoTaskMemString(raw)));
  }
  template <typename Handler, typename F>
  ComPtr<Handler> On(F f) {
    return ::Callback<Handler>([this, f](auto... args) -> HRESULT {
      reentrantCallbacks += m_insideCall;
      f(args...);
      return S_OK;
    });
  }

  void Register() {
    controller->get_CoreWebView2(webView.GetAddressOf());
    ComPtr<ICoreWebView2_22> webView22;
    webView.As(&webView22);
    ComPtr<ICoreWebView2Settings> settings;
    webView->get_Settings(settings.GetAddressOf());
    // Switched off, so that the page's alert() does not block it.
    Call([&] { return settings->put_AreDefaultScriptDialogsEnabled(FALSE); });
    Call([&] { return controller->put_Bounds(RECT{0, 0, 800, 600}); });
    Add(webView.Get(), &ICoreWebView2::add_NavigationStarting,
        [this](ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) { navigations.push_back(UriOf(args)); });
    Add(webView.Get(), &ICoreWebView2::add_NewWindowRequested,
        [this](ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) { newWindows.push_back(UriOf(args)), args->put_Handled(TRUE); });
    Add(webView22.Get(), &ICoreWebView2_4::add_DownloadStarting,
        [this](ICoreWebView2*, ICoreWebView2DownloadStartingEventArgs* args) {
          ComPtr<ICoreWebView2DownloadOperation> operation;
          args->get_DownloadOperation(operation.GetAddressOf());
          if (UriOf(operation.Get()).find(kCancelDownload) != std::string::npos) args->put_Cancel(TRUE);
        });
    Call([&] {
      return webView22->AddWebResourceRequestedFilterWithRequestSourceKinds(
          u"*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL, COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL);
    });
    Add(webView.Get(), &ICoreWebView2::add_WebResourceRequested,
        [this](ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) { Answer(args); });
  }

  void Answer(ICoreWebView2WebResourceRequestedEventArgs* args) {
    COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL;
    args->get_ResourceContext(&context);
    ComPtr<ICoreWebView2WebResourceRequest> request;
    args->get_Request(request.GetAddressOf());
    const std::string uri = requests.emplace_back(UriOf(request.Get()));
    contexts.emplace(uri, context);
    if (context == COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA || uri.find(kLeaveUnanswered) != std::string::npos) return;
    const std::u16string wideUri = Utf8ToWide(uri);
    std::u16string path;
    ComPtr<IStream> stream;
    if (SUCCEEDED(FileUrlToPath(wideUri, path)))
      FileStream::Open(path, stream.GetAddressOf());
    ComPtr<ICoreWebView2WebResourceResponse> response;
    environment->CreateWebResourceResponse(stream.Get(), stream ? 200 : 404, stream ? u"OK" : u"Not Found",
                                             ResponseHeadersForUri(wideUri).c_str(), response.GetAddressOf());
    args->put_Response(response.Get());
  }

  CreateWebViewEnvironmentWithOptionsInternalFn m_entry = nullptr;
  std::string m_userDataFolder;
  bool m_creationDone = false;
  bool m_insideCall = false;
};
