// The view's link policy: the handlers that judge where the main document
// may go, which downloads the file operations take, and what becomes of
// requests for new windows. Kept apart from View.cpp, which builds and sizes
// the web view.
#include "com/Callback.h"
#include "com/CoTaskMem.h"
#include "fileops/GetExtensionKey.h"
#include "fileops/GetPathFromUrl.h"
#include "fileops/ParseUrlScheme.h"
#include "fileops/ShellOpen.h"
#include "util/FailureLog.h"
#include "view/View.h"

namespace {

// The operation for a local path, or null. An empty path (an address that
// names no local file) never reaches a handler, not even one registered
// for the empty key: it would have nothing to work on.
FileProc* FindFileProc(const FileProcTable& table, const std::u16string& path) {
  if (path.empty()) return nullptr;
  const auto found = table.find(GetExtensionKey(path));
  return found == table.end() ? nullptr : found->second.get();
}

}  // namespace

void CView::RegisterLinkPolicyHandlers() {
  EventRegistrationToken token{};
  auto navigation = Callback<ICoreWebView2NavigationStartingEventHandler>(
      [this](ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args) {
        return OnNavigationStarting(sender, args);
      });
  if (navigation) m_webView->add_NavigationStarting(navigation.Get(), &token);

  ComPtr<ICoreWebView2_4> webView4;
  m_webView.As(&webView4);
  auto download = Callback<ICoreWebView2DownloadStartingEventHandler>(
      [this](ICoreWebView2* sender, ICoreWebView2DownloadStartingEventArgs* args) {
        return OnDownloadStarting(sender, args);
      });
  if (webView4 && download) webView4->add_DownloadStarting(download.Get(), &token);

  auto newWindow = Callback<ICoreWebView2NewWindowRequestedEventHandler>(
      [this](ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args) {
        return OnNewWindowRequested(sender, args);
      });
  if (newWindow) m_webView->add_NewWindowRequested(newWindow.Get(), &token);
}

HRESULT CView::OnNavigationStarting(ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
  if (!args) return E_POINTER;
  LPWSTR raw = nullptr;
  HRESULT hr = args->get_Uri(&raw);
  const CoTaskMemString owned(raw);
  if (FAILED(hr)) return LogFailure(hr, "View", __LINE__, __func__);
  const std::u16string uri(View(owned));

  std::u16string scheme;
  hr = ParseUrlScheme(uri, scheme);
  // Text that is no address is left to the engine, which cannot load it.
  if (FAILED(hr)) return LogFailure(hr, "View", __LINE__, __func__, uri);

  if (scheme == u"file") {
    const std::u16string path = GetPathFromUrl(uri);
    if (FileProc* proc = FindFileProc(m_fileProcs, path)) {
      proc->Run(path);
      args->put_Cancel(TRUE);
    }
    // Otherwise the view shows the file itself: the application's own
    // pages and every local file of a type without an operation.
  } else if (scheme == u"http" || scheme == u"https") {
    // The main document never leaves the local application: web pages open
    // in the desktop's browser and the view keeps its page.
    ShellOpen(uri);
    args->put_Cancel(TRUE);
  } else {
    // mailto:, javascript:, data:, blob:, about: and the rest are refused.
    args->put_Cancel(TRUE);
  }
  return S_OK;
}

HRESULT CView::OnDownloadStarting(ICoreWebView2*, ICoreWebView2DownloadStartingEventArgs* args) {
  if (!args) return E_POINTER;
  ComPtr<ICoreWebView2DownloadOperation> operation;
  HRESULT hr = args->get_DownloadOperation(operation.GetAddressOf());
  if (FAILED(hr)) return LogFailure(hr, "View", __LINE__, __func__);
  if (!operation) return LogFailure(E_POINTER, "View", __LINE__, __func__);
  LPWSTR raw = nullptr;
  hr = operation->get_Uri(&raw);
  const CoTaskMemString owned(raw);
  if (FAILED(hr)) return LogFailure(hr, "View", __LINE__, __func__);

  const std::u16string path = GetPathFromUrl(View(owned));
  if (FileProc* proc = FindFileProc(m_fileProcs, path)) {
    proc->Run(path);
    args->put_Cancel(TRUE);
  }
  // Otherwise the runtime saves the download as it does by default.
  return S_OK;
}

HRESULT CView::OnNewWindowRequested(ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
  if (!args) return E_POINTER;
  // First, so that no window opens whatever happens below.
  args->put_Handled(TRUE);
  LPWSTR raw = nullptr;
  const HRESULT hr = args->get_Uri(&raw);
  const CoTaskMemString owned(raw);
  if (FAILED(hr)) return LogFailure(hr, "View", __LINE__, __func__);
  // The target opens in this view, where the navigation policy judges it
  // like any other navigation.
  if (m_webView) m_webView->Navigate(std::u16string(View(owned)).c_str());
  return S_OK;
}

LRESULT CView::OnSaveCopy() {
  m_saveCopies.SaveNext();
  return 0;
}
