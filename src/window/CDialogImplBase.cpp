#include "window/CDialogImplBase.h"

#include "platform/IWindowing.h"
#include "platform/Platform.h"

INT_PTR CDialogImplBase::DoModal(HWND owner) {
  return Platform::Windowing().DialogBox(GetDialogTemplate(), owner, this);
}

BOOL CDialogImplBase::EndDialog(INT_PTR result) {
  return Platform::Windowing().EndDialog(m_hWnd, result);
}
