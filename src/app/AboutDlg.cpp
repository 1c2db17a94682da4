#include "app/AboutDlg.h"

#include "resources/Resource.h"
#include "resources/StringTable.h"

DialogTemplate CAboutDlg::GetDialogTemplate() const {
  DialogTemplate t;
  t.caption = std::u16string(LoadStringResource(IDS_ABOUT_CAPTION));
  t.width = 132;
  t.height = 122;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  // In tab order, as the dialog resource lists them.
  t.items = {
      {DialogItemKind::Button, IDOK, RECT{36, 102, 96, 116},
       std::u16string(LoadStringResource(IDS_OK)), BS_DEFPUSHBUTTON | WS_TABSTOP},
      {DialogItemKind::Static, -1, RECT{7, 44, 126, 79},
       std::u16string(LoadStringResource(IDS_ABOUT_TEXT)), SS_CENTER},
      {DialogItemKind::Icon, -1, RECT{57, 18, 77, 38}, kApplicationIconName, SS_ICON},
      {DialogItemKind::GroupBox, -1, RECT{6, 2, 126, 84}, u"", BS_GROUPBOX},
  };
  return t;
}

bool CAboutDlg::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM,
                                     LRESULT& result) {
  switch (message) {
    case WM_INITDIALOG:
      result = OnInitDialog();
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        result = OnCloseCmd(LOWORD(wParam));
        return true;
      }
      break;
  }
  return false;
}

LRESULT CAboutDlg::OnInitDialog() {
  // Centred on the owner (normally the frame) when it is visible and not
  // minimised, otherwise on the work area of the nearest monitor.
  CenterWindow(GetParent());
  return TRUE;
}

LRESULT CAboutDlg::OnCloseCmd(WORD id) {
  EndDialog(id);
  return 0;
}
