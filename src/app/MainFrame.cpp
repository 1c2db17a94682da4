#include "app/MainFrame.h"

#include "app/AboutDlg.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "settings/LoadSettings.h"
#include "window/AppModule.h"
#include "window/MessageLoop.h"

CMainFrame::CMainFrame()
    : CUpdateUI({{ID_VIEW_TOOLBAR, CUpdateUI::UPDUI_MENUPOPUP, true, false}}) {}

CMainFrame::~CMainFrame() {
  // Destroyed while the window still exists (a start-up path that gave up,
  // a test): the window goes first, while the message map can still take
  // the frame out of the loop's filters and idle handlers.
  if (m_hWnd) DestroyWindow();
}

HRESULT CMainFrame::LoadSettings() { return ::LoadSettings(m_settings); }

std::u16string_view CMainFrame::FrameCaption() const { return LoadStringResource(IDR_MAINFRAME); }

std::vector<ToolBarButton> CMainFrame::ToolBarButtons() {
  auto button = [](UINT command, std::u16string icon) {
    return ToolBarButton{command, std::move(icon), std::u16string(ToolTipText(command))};
  };
  return {button(ID_BACK, u"go-previous"), button(ID_FORWARD, u"go-next"),
          button(ID_RELOAD, u"view-refresh")};
}

BOOL CMainFrame::PreTranslateMessage(MSG* msg) {
  // The program ships no accelerator table, so only the view is asked.
  return m_view.PreTranslateMessage(msg) ? TRUE : FALSE;
}

BOOL CMainFrame::OnIdle() {
  UIUpdateToolBar();
  return FALSE;
}

bool CMainFrame::ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) {
  switch (message) {
    case WM_CREATE:
      result = OnCreate();
      return true;
    case WM_DESTROY:
      OnDestroy();
      break;  // passed on: the frame base ends the loop
    case WM_DPICHANGED:
      // Default processing; the frame does not move to the suggested place.
      break;
    case WM_ACTIVATE_INSTANCE:
      result = OnActivateInstance();
      return true;
    case WM_SYSCOMMAND:
      if (LOWORD(wParam) == ID_APP_ABOUT) {
        result = OnAppAbout();
        return true;
      }
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case ID_BACK:
          result = OnBack();
          return true;
        case ID_FORWARD:
          result = OnForward();
          return true;
        case ID_RELOAD:
          result = OnReload();
          return true;
      }
      break;
  }
  return ProcessFrameMessage(hwnd, message, wParam, lParam, result);
}

LRESULT CMainFrame::OnCreate() {
  IWindowing& windowing = Platform::Windowing();
  m_windowExisted = true;
  // 1. The toolbar, unless the settings switch it off.
  if (m_settings.toolBar != 1) {
    const std::vector<ToolBarButton> buttons = ToolBarButtons();
    m_hWndToolBar = CreateSimpleToolBarCtrl(buttons, ATL_IDW_TOOLBAR);
  }
  // 2. The About item at the end of the window menu.
  windowing.AppendWindowMenuItem(m_hWnd, 0, {});
  windowing.AppendWindowMenuItem(m_hWnd, ID_APP_ABOUT, LoadStringResource(IDS_APP_ABOUT_MENU_ITEM));
  // 3. The caption from the settings; otherwise it stays the default one.
  if (!m_settings.title.empty()) SetWindowText(m_settings.title);
  // 4. The web view host's window; the layout places it on the first WM_SIZE.
  m_hWndClient = m_view.Create(m_hWnd, nullptr, {}, CView::kWindowStyle, 0);
  // 5. The toolbar follows the update table.
  if (m_hWndToolBar) {
    UIAddToolBar(m_hWndToolBar);
    UISetCheck(ID_VIEW_TOOLBAR, true);
  }
  // 6. Filter and idle handler of the thread's loop.
  if (CMessageLoop* loop = g_module.GetMessageLoop()) {
    loop->AddMessageFilter(this);
    loop->AddIdleHandler(this);
  }
  return 0;
}

LRESULT CMainFrame::OnDestroy() {
  if (CMessageLoop* loop = g_module.GetMessageLoop()) {
    loop->RemoveMessageFilter(this);
    loop->RemoveIdleHandler(this);
  }
  return 0;
}

LRESULT CMainFrame::OnActivateInstance() {
  IWindowing& windowing = Platform::Windowing();
  if (windowing.IsIconic(m_hWnd)) windowing.ShowWindow(m_hWnd, SW_RESTORE);
  windowing.SetFocus(m_hWnd);
  return 0;
}

LRESULT CMainFrame::OnAppAbout() {
  CAboutDlg dialog;
  dialog.DoModal(Platform::Windowing().GetActiveWindow());
  return 0;
}

LRESULT CMainFrame::OnBack() {
  if (m_view.m_webView) m_view.m_webView->GoBack();
  return 0;
}

LRESULT CMainFrame::OnForward() {
  if (m_view.m_webView) m_view.m_webView->GoForward();
  return 0;
}

LRESULT CMainFrame::OnReload() {
  if (m_view.m_webView) m_view.m_webView->Reload();
  return 0;
}
