#include "window/UpdateUI.h"

#include "platform/IWindowing.h"
#include "platform/Platform.h"

BOOL CUpdateUI::UISetCheck(UINT id, bool checked) {
  for (Entry& entry : m_entries) {
    if (entry.id == id) {
      entry.checked = checked;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CUpdateUI::UIAddToolBar(HWND toolBar) {
  if (!toolBar) return FALSE;
  m_toolBars.push_back(toolBar);
  return TRUE;
}

BOOL CUpdateUI::UIUpdateToolBar() {
  IWindowing& windowing = Platform::Windowing();
  for (const Entry& entry : m_entries) {
    if (!(entry.kind & UPDUI_TOOLBAR)) continue;
    for (HWND toolBar : m_toolBars) {
      windowing.SendMessage(toolBar, TB_ENABLEBUTTON, entry.id, entry.enabled ? TRUE : FALSE);
      windowing.SendMessage(toolBar, TB_CHECKBUTTON, entry.id, entry.checked ? TRUE : FALSE);
    }
  }
  return TRUE;
}
