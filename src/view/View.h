#pragma once
// The web view host: the child window that fills the main frame's client
// area and owns the engine's controller and web view. It builds them in a
// chain of asynchronous steps started by its own WM_CREATE, answers the web
// view's local file requests, and keeps the web view sized to its window.
#include <string>

#include "com/ComPtr.h"
#include "com/Types.h"
#include "fileops/FileProcTable.h"
#include "fileops/SaveCopyQueue.h"
#include "view/IViewFrame.h"
#include "webview/EngineContract.h"
#include "window/CWindowImplBase.h"

class CView : public CWindowImplBase {
 public:
  // The styles the frame creates the view window with.
  static constexpr DWORD kWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

  CView() = default;
  ~CView() override;

  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // The view translates no keyboard message; the frame's message filter asks
  // it after its own accelerators.
  bool PreTranslateMessage(const MSG* message) { return false; }

  // Message handlers.
  LRESULT OnCreate();
  LRESULT OnSize(bool& handled);
  LRESULT OnDpiChanged(bool& handled);
  LRESULT OnPaint();

  // Works out the user data folder and the start address from the settings,
  // the per-user data folder and the working directory.
  HRESULT PreparePaths();

  // Shows the failure with its code in a message box owned by the view and
  // then closes the frame.
  void ReportViewFailure(UINT messageId, HRESULT hr);

  // Completion handlers of the creation chain.
  HRESULT OnEnvironmentCreated(HRESULT errorCode, ICoreWebView2Environment* environment);
  HRESULT OnControllerCreated(HRESULT errorCode, ICoreWebView2Controller* controller);

  // The page put an element into full screen or took it out: the frame
  // window becomes a borderless window covering its monitor, or gets back
  // the style, rectangle and maximised state it had. Returns the failure of
  // reading the web view's state, S_OK otherwise.
  HRESULT OnContainsFullScreenElementChanged(ICoreWebView2* sender, IUnknown* args);

  // Answers a local file request with the file, or with 404 or 400. The web
  // view is the one the handler was registered on; responses are made by its
  // environment. Always returns S_OK: a page learns of failures from the
  // status code.
  HRESULT OnWebResourceRequested(ICoreWebView2_2* webView, ICoreWebView2WebResourceRequestedEventArgs* args);

  // The link policy (ViewLinkPolicy.cpp): main-document navigations, downloads
  // and new-window requests.
  HRESULT OnNavigationStarting(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args);
  HRESULT OnDownloadStarting(ICoreWebView2* sender, ICoreWebView2DownloadStartingEventArgs* args);
  HRESULT OnNewWindowRequested(ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args);
  // Registers the three handlers above on m_webView.
  void RegisterLinkPolicyHandlers();
  // WM_SAVE_COPY: saves a copy for the oldest queued request.
  LRESULT OnSaveCopy();

  // The save requests of m_fileProcs' save handlers, declared first so that
  // it outlives the handlers that point at it.
  SaveCopyQueue m_saveCopies;
  // Extension key to file operation, built from the settings first thing in
  // WM_CREATE and never changed afterwards.
  FileProcTable m_fileProcs;

  // The frame holding the view; not owned. Set by start-up right after the
  // frame object is constructed, before any window exists.
  IViewFrame* m_pFrame = nullptr;
  ComPtr<ICoreWebView2Controller> m_controller;
  ComPtr<ICoreWebView2> m_webView;
  BOOL m_containsFullScreenElement = FALSE;
  EventRegistrationToken m_webResourceRequestedToken{};
  std::u16string m_startUrl;
  std::u16string m_userDataFolder;
  bool m_wasMaximized = false;
  LONG m_savedStyle = 0;
  LONG m_savedExStyle = 0;
  RECT m_savedRect{};
  bool m_isFullScreen = false;

 private:
  // Sets the controller's bounds to the view's client rectangle.
  void FitControllerToClientArea();
};
