#pragma once
// The program's only top-level window: a resizable frame with the toolbar
// (Back, Forward, Reload) across the top, unless the settings switch it off,
// and the web view host filling the rest. It owns the settings record and
// the web view host object, acts as the message loop's filter and idle
// handler, and offers the About box from its window menu.
#include "settings/Settings.h"
#include "view/IViewFrame.h"
#include "view/View.h"
#include "window/FrameWindowImpl.h"
#include "window/IdleHandler.h"
#include "window/MessageFilter.h"
#include "window/UpdateUI.h"

class CMainFrame : public CFrameWindowImpl,
                   public CUpdateUI,
                   public CMessageFilter,
                   public CIdleHandler,
                   public IViewFrame {
 public:
  CMainFrame();
  ~CMainFrame() override;

  // Reads settings.json into m_settings (see LoadSettings in
  // settings/LoadSettings.h).
  HRESULT LoadSettings();

  // What the web view host reads through its m_pFrame.
  const Settings& GetSettings() const override { return m_settings; }
  HWND GetFrameWindow() const override { return m_hWnd; }

  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnIdle() override;

  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

  // Message handlers.
  LRESULT OnCreate();
  LRESULT OnDestroy();
  LRESULT OnAppAbout();
  LRESULT OnBack();
  LRESULT OnForward();
  LRESULT OnReload();
  // WM_ACTIVATE_INSTANCE: a later start of the application handed over to
  // this process, so the frame comes back from the task bar and to the front.
  LRESULT OnActivateInstance();

  // The toolbar's buttons: Back, Forward and Reload with their themed icons
  // and the tool tips of their strings.
  static std::vector<ToolBarButton> ToolBarButtons();

  // The web view host.
  CView m_view;
  Settings m_settings;
  // Set once the window has gone through WM_CREATE, so that start-up can
  // tell a frame that was never made from one that closed while it was
  // being made (the web view host reports a failure and closes it).
  bool m_windowExisted = false;

 protected:
  // The caption of string IDR_MAINFRAME.
  std::u16string_view FrameCaption() const override;
};
