#include "view/View.h"

#include <algorithm>

#include "com/Callback.h"
#include "com/CoTaskMem.h"
#include "loader/CoreWebView2EnvironmentOptions.h"
#include "loader/RuntimeLoader.h"
#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "settings/Settings.h"
#include "util/CanonicalizePath.h"
#include "util/FileUrl.h"
#include "util/FormatMessageWithHResult.h"
#include "view/LocalFileResponse.h"

namespace {

// The folder below the per-user data folder that holds the browser data of
// every application this program shows, one subfolder per browser identity.
constexpr std::u16string_view kDataFolderName = u"/Corvella/";
constexpr std::u16string_view kDefaultBrowserId = u"vellumview";
constexpr char16_t kBrowserArguments[] = u"--disable-web-security --allow-file-access-from-files --allow-file-access";

// The code shown when a completion handler reports success but hands over no
// object: the chain cannot go on, and the user needs some code to quote.
constexpr HRESULT kMissingObject = E_FAIL;

// A setting that names a path below a root folder, made canonical and taken
// relative to that root: "." and ".." are resolved, climbing above the root
// is clamped there, and a leading '/' does not make it absolute.
HRESULT CanonicalizeBelowRoot(std::u16string_view setting, std::u16string& out) {
  std::u16string canonical;
  const HRESULT hr = CanonicalizePath(setting, canonical);
  if (FAILED(hr)) return hr;
  if (!canonical.empty() && canonical.front() == u'/') canonical.erase(0, 1);
  out = std::move(canonical);
  return S_OK;
}

void AppendWithoutTrailingSeparators(std::u16string& out, std::u16string_view folder) {
  while (folder.size() > 1 && folder.back() == u'/') folder.remove_suffix(1);
  out.append(folder);
}

}  // namespace

CView::~CView() {
  // The strings go first and the engine's objects last, the web view before
  // the controller that hosts it. No event handler is removed and the
  // controller is not closed: the runtime ends its objects when their last
  // reference goes.
  m_userDataFolder.clear();
  m_userDataFolder.shrink_to_fit();
  m_startUrl.clear();
  m_startUrl.shrink_to_fit();
  m_fileProcs.clear();
  m_webView.Reset();
  m_controller.Reset();
}

bool CView::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  bool handled = true;
  switch (message) {
    case WM_CREATE:
      result = OnCreate();
      return true;
    case WM_SIZE:
      result = OnSize(handled);
      return handled;
    case WM_PAINT:
      result = OnPaint();
      return true;
    case WM_DPICHANGED:
      result = OnDpiChanged(handled);
      return handled;
    case WM_SAVE_COPY:
      result = OnSaveCopy();
      return true;
    default:
      return false;
  }
}

LRESULT CView::OnCreate() {
  m_saveCopies.SetWindow(m_hWnd);
  // Complete before the web view exists, so that every navigation, the start
  // page's included, is judged against the final table.
  if (m_pFrame) m_fileProcs = BuildFileProcTable(m_pFrame->GetSettings(), &m_saveCopies);
  HRESULT hr = PreparePaths();
  if (FAILED(hr)) {
    ReportViewFailure(IDS_BROWSER_CONFIGURATION_FAILED, hr);
    return 0;
  }

  ComPtr<CoreWebView2EnvironmentOptions> options = MakeComObject<CoreWebView2EnvironmentOptions>();
  auto handler = Callback<ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler>(
      [this](HRESULT errorCode, ICoreWebView2Environment* environment) {
        return OnEnvironmentCreated(errorCode, environment);
      });
  if (!options || !handler) {
    ReportViewFailure(IDS_BROWSER_INITIALIZATION_FAILED, E_OUTOFMEMORY);
    return 0;
  }
  options->put_AdditionalBrowserArguments(kBrowserArguments);

  hr = CreateCoreWebView2EnvironmentWithOptions(nullptr, m_userDataFolder.c_str(), options.Get(), handler.Get());
  // The loader keeps what it needs; the view holds neither past the call.
  options.Reset();
  handler.Reset();
  if (FAILED(hr)) ReportViewFailure(IDS_BROWSER_INITIALIZATION_FAILED, hr);
  // The window exists even when the browser could not be set up.
  return 0;
}

LRESULT CView::OnSize(bool& handled) {
  if (m_controller) FitControllerToClientArea();
  handled = false;
  return 0;
}

LRESULT CView::OnDpiChanged(bool& handled) {
  if (m_controller) FitControllerToClientArea();
  handled = false;
  return 0;
}

LRESULT CView::OnPaint() {
  // Nothing is drawn: the web view covers the client area once it exists,
  // and before that the window's own background shows.
  return 0;
}

HRESULT CView::PreparePaths() {
  m_userDataFolder.clear();
  m_startUrl.clear();
  if (!m_pFrame) return E_UNEXPECTED;
  const Settings& settings = m_pFrame->GetSettings();
  ISystem& system = Platform::System();

  std::u16string dataFolder;
  HRESULT hr = system.GetRoamingDataFolder(&dataFolder);
  if (FAILED(hr)) return hr;
  std::u16string userDataFolder;
  AppendWithoutTrailingSeparators(userDataFolder, dataFolder);
  userDataFolder.append(kDataFolderName);
  if (settings.browserID.empty()) {
    userDataFolder.append(kDefaultBrowserId);
  } else {
    std::u16string browserId;
    hr = CanonicalizeBelowRoot(settings.browserID, browserId);
    if (FAILED(hr)) return hr;
    // An identity that resolves to nothing ("." or "..") would put this
    // application's data straight into the folder shared by all of them.
    if (browserId.empty()) return E_INVALIDARG;
    userDataFolder.append(browserId);
  }

  // "page.html?mode=kiosk#intro": the first '?' or '#' starts the query or
  // fragment the page is opened with; only the text before it names the
  // file. In the file name a '%' is a character like any other (settings
  // name files, not addresses); the query and fragment are kept as written.
  const std::u16string_view startSetting(settings.startPage);
  const std::size_t suffixAt = std::min(startSetting.find_first_of(u"?#"), startSetting.size());
  std::u16string startPage;
  hr = CanonicalizeBelowRoot(startSetting.substr(0, suffixAt), startPage);
  if (FAILED(hr)) return hr;

  std::u16string currentDirectory;
  hr = system.GetCurrentDirectory(&currentDirectory);
  if (FAILED(hr)) return hr;
  std::u16string startPath;
  AppendWithoutTrailingSeparators(startPath, currentDirectory);
  if (startPath != u"/") startPath.push_back(u'/');
  startPath.append(startPage);

  m_userDataFolder = std::move(userDataFolder);
  // Encoded, so that a space, '#', '?' or '%' in a folder or page name stays
  // part of the path when the engine parses the address.
  m_startUrl = PathToFileUrl(startPath);
  m_startUrl.append(startSetting.substr(suffixAt));
  return S_OK;
}

void CView::ReportViewFailure(UINT messageId, HRESULT hr) {
  const std::u16string text = FormatMessageWithHResult(LoadStringResource(messageId), hr);
  MessageBox(text, u"", MB_OK | MB_ICONERROR);
  const HWND frame = m_pFrame ? m_pFrame->GetFrameWindow() : nullptr;
  if (frame) Platform::Windowing().SendMessage(frame, WM_CLOSE, 0, 0);
}

HRESULT CView::OnEnvironmentCreated(HRESULT errorCode, ICoreWebView2Environment* environment) {
  // The frame closed while the engine was starting: there is no window left
  // to host a web view in, and nobody to tell.
  if (!m_hWnd) return S_OK;
  // Without an environment nothing can follow; the user is told and the
  // frame closes, as when the environment could not even be requested.
  if (FAILED(errorCode) || !environment) {
    ReportViewFailure(IDS_BROWSER_INITIALIZATION_FAILED, FAILED(errorCode) ? errorCode : kMissingObject);
    return S_OK;
  }
  auto handler = Callback<ICoreWebView2CreateCoreWebView2ControllerCompletedHandler>(
      [this](HRESULT code, ICoreWebView2Controller* controller) { return OnControllerCreated(code, controller); });
  const HRESULT hr = handler ? environment->CreateCoreWebView2Controller(m_hWnd, handler.Get()) : E_OUTOFMEMORY;
  if (FAILED(hr)) ReportViewFailure(IDS_BROWSER_INITIALIZATION_FAILED, hr);
  return S_OK;
}

HRESULT CView::OnControllerCreated(HRESULT errorCode, ICoreWebView2Controller* controller) {
  if (!m_hWnd) return S_OK;
  if (FAILED(errorCode) || !controller) {
    ReportViewFailure(IDS_BROWSER_INITIALIZATION_FAILED, FAILED(errorCode) ? errorCode : kMissingObject);
    return S_OK;
  }
  ComPtr<ICoreWebView2> webView;
  const HRESULT hr = controller->get_CoreWebView2(webView.GetAddressOf());
  if (FAILED(hr) || !webView) {
    ReportViewFailure(IDS_BROWSER_INITIALIZATION_FAILED, FAILED(hr) ? hr : kMissingObject);
    return S_OK;
  }
  m_controller = controller;
  m_webView = webView;

  ComPtr<ICoreWebView2Settings> settings;
  if (SUCCEEDED(m_webView->get_Settings(settings.GetAddressOf())) && settings) {
    settings->put_IsScriptEnabled(TRUE);
    settings->put_AreDefaultScriptDialogsEnabled(TRUE);
    settings->put_IsWebMessageEnabled(TRUE);
    settings->put_AreDevToolsEnabled(FALSE);
  }

  FitControllerToClientArea();

  auto fullScreenHandler = Callback<ICoreWebView2ContainsFullScreenElementChangedEventHandler>(
      [this](ICoreWebView2* sender, IUnknown* args) { return OnContainsFullScreenElementChanged(sender, args); });
  if (fullScreenHandler) {
    EventRegistrationToken token{};
    m_webView->add_ContainsFullScreenElementChanged(fullScreenHandler.Get(), &token);
  }

  // The first navigation starts before the request handlers are registered.
  // Its events arrive through the message loop after this handler has
  // returned, so the handlers registered below still see all of them.
  m_webView->Navigate(m_startUrl.c_str());
  RegisterLinkPolicyHandlers();

  ComPtr<ICoreWebView2_2> webView2;
  ComPtr<ICoreWebView2_22> webView22;
  m_webView.As(&webView2);
  m_webView.As(&webView22);
  // An older runtime without one of these interfaces only loses what that
  // interface serves: the filter, or the answers to local requests.
  if (webView22) {
    webView22->AddWebResourceRequestedFilterWithRequestSourceKinds(
        u"*", COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL, COREWEBVIEW2_WEB_RESOURCE_REQUEST_SOURCE_KINDS_ALL);
  }
  if (webView2) {
    auto handler = Callback<ICoreWebView2WebResourceRequestedEventHandler>(
        [this, webView2](ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args) {
          return OnWebResourceRequested(webView2.Get(), args);
        });
    if (handler) m_webView->add_WebResourceRequested(handler.Get(), &m_webResourceRequestedToken);
  }
  return S_OK;
}

HRESULT CView::OnContainsFullScreenElementChanged(ICoreWebView2* sender, IUnknown*) {
  if (!sender) return E_POINTER;
  const HRESULT hr = sender->get_ContainsFullScreenElement(&m_containsFullScreenElement);
  if (FAILED(hr)) return hr;
  IWindowing& windowing = Platform::Windowing();
  const HWND frame = m_pFrame ? m_pFrame->GetFrameWindow() : nullptr;
  if (!frame) return S_OK;

  if (m_containsFullScreenElement) {
    if (m_isFullScreen) return S_OK;
    // A minimised frame has no rectangle worth keeping (it would come back
    // off screen); it is brought back first, to the state it had.
    if (windowing.IsIconic(frame)) windowing.SendMessage(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
    // A maximised frame is restored first, so that what is saved is its
    // normal style and rectangle, the ones that leaving full screen puts
    // back before maximising it again.
    m_wasMaximized = windowing.IsZoomed(frame) != FALSE;
    if (m_wasMaximized) windowing.SendMessage(frame, WM_SYSCOMMAND, SC_RESTORE, 0);
    m_savedStyle = windowing.GetWindowLong(frame, GWL_STYLE);
    m_savedExStyle = windowing.GetWindowLong(frame, GWL_EXSTYLE);
    windowing.GetWindowRect(frame, &m_savedRect);
    windowing.SetWindowLong(frame, GWL_STYLE, static_cast<LONG>(static_cast<DWORD>(m_savedStyle) & ~(WS_CAPTION | WS_THICKFRAME)));
    windowing.SetWindowLong(frame, GWL_EXSTYLE,
                            static_cast<LONG>(static_cast<DWORD>(m_savedExStyle) &
                                              ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)));
    // The whole monitor, panels included: the page asked for the screen.
    MONITORINFO info{};
    windowing.GetMonitorInfo(frame, &info);
    const RECT& monitor = info.rcMonitor;
    windowing.SetWindowPos(frame, nullptr, monitor.left, monitor.top, monitor.right - monitor.left,
                           monitor.bottom - monitor.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    m_isFullScreen = true;
    return S_OK;
  }

  if (!m_isFullScreen) return S_OK;
  windowing.SetWindowLong(frame, GWL_STYLE, m_savedStyle);
  windowing.SetWindowLong(frame, GWL_EXSTYLE, m_savedExStyle);
  windowing.SetWindowPos(frame, nullptr, m_savedRect.left, m_savedRect.top, m_savedRect.right - m_savedRect.left,
                         m_savedRect.bottom - m_savedRect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if (m_wasMaximized) windowing.SendMessage(frame, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  m_isFullScreen = false;
  return S_OK;
}

HRESULT CView::OnWebResourceRequested(ICoreWebView2_2* webView, ICoreWebView2WebResourceRequestedEventArgs* args) {
  if (!args) return S_OK;
  COREWEBVIEW2_WEB_RESOURCE_CONTEXT context = COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL;
  args->get_ResourceContext(&context);
  // Audio and video are left to the runtime, which streams them itself.
  if (context == COREWEBVIEW2_WEB_RESOURCE_CONTEXT_MEDIA) return S_OK;

  std::u16string uri;
  ComPtr<ICoreWebView2WebResourceRequest> request;
  if (SUCCEEDED(args->get_Request(request.GetAddressOf())) && request) {
    LPWSTR raw = nullptr;
    request->get_Uri(&raw);
    const CoTaskMemString owned(raw);
    uri = View(owned);
  }
  if (!IsFileUri(uri)) return S_OK;

  const std::u16string headers = ResponseHeadersForUri(uri);
  ComPtr<ICoreWebView2Environment> environment;
  if (!webView || FAILED(webView->get_Environment(environment.GetAddressOf())) || !environment) return S_OK;

  ComPtr<ICoreWebView2WebResourceResponse> response;
  std::u16string path;
  if (FAILED(FileUrlToPath(uri, path))) {
    environment->CreateWebResourceResponse(nullptr, 400, u"Bad Request", headers.c_str(), response.GetAddressOf());
  } else {
    ComPtr<IStream> stream;
    if (FAILED(Platform::System().OpenFileStream(path, stream.GetAddressOf())) || !stream) {
      environment->CreateWebResourceResponse(nullptr, 404, u"Not Found", headers.c_str(), response.GetAddressOf());
    } else {
      environment->CreateWebResourceResponse(stream.Get(), 200, u"OK", headers.c_str(), response.GetAddressOf());
    }
  }
  // A response that could not be made leaves the request to the runtime.
  if (response) args->put_Response(response.Get());
  return S_OK;
}

void CView::FitControllerToClientArea() {
  RECT bounds{};
  GetClientRect(&bounds);
  m_controller->put_Bounds(bounds);
}
