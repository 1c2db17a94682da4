#pragma once
// The base of modal dialogs: the derived class supplies the dialog's
// template and its message map; DoModal runs it and returns the value given
// to EndDialog (-1 when the dialog could not be created).
#include "platform/DialogTemplate.h"
#include "window/CWindowImplBase.h"

class CDialogImplBase : public CWindowImplBase {
 public:
  virtual DialogTemplate GetDialogTemplate() const = 0;
  INT_PTR DoModal(HWND owner);
  BOOL EndDialog(INT_PTR result);
};
