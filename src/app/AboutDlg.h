#pragma once
// The About box: the application icon, the name, the version and the
// publisher in three centred lines, and an OK button. Enter, Esc, the close
// box and OK all close it.
#include "window/CDialogImplBase.h"

class CAboutDlg : public CDialogImplBase {
 public:
  DialogTemplate GetDialogTemplate() const override;
  bool ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;

  LRESULT OnInitDialog();
  LRESULT OnCloseCmd(WORD id);
};
