// WindowingCore: modal windows. Message boxes (with their line on standard
// error), dialog boxes and their items, and the nested message loop both
// run until they are answered.
#include "platform/WindowingCore.h"

#include <cstdio>

#include "util/Strings.h"

std::string WindowingCore::MessageBoxLogLine(std::u16string_view text) {
  std::u16string flat;
  for (char16_t c : text) {
    if (c == u'\r') continue;
    flat.push_back(c == u'\n' ? u' ' : c);
  }
  while (!flat.empty() && flat.back() == u' ') flat.pop_back();
  return "vellumview: " + WideToUtf8(flat);
}

void WindowingCore::WriteErrorLine(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
  std::fflush(stderr);
}

int WindowingCore::MessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                              UINT type) {
  WriteErrorLine(MessageBoxLogLine(text));
  return NativeMessageBox(Find(owner) ? owner : nullptr, text, caption, type);
}

INT_PTR WindowingCore::DialogBox(const DialogTemplate& dialogTemplate, HWND owner,
                                 IWindowProcedure* procedure) {
  if (!IsUiThread() || !procedure) return -1;
  if (owner && !Find(owner)) owner = nullptr;
  NativeDialog native = NativeCreateDialog(dialogTemplate, owner);
  if (!native.hwnd) return -1;
  WindowRecord record;
  record.hwnd = native.hwnd;
  record.kind = WindowKind::Dialog;
  record.procedure = procedure;
  record.style = dialogTemplate.style & ~WS_VISIBLE;
  record.parent = owner;
  record.text = dialogTemplate.caption;
  record.rect = native.rect;
  m_windows[native.hwnd] = record;
  for (const auto& [id, item] : native.items) {
    WindowRecord control;
    control.hwnd = item;
    control.kind = WindowKind::Control;
    control.style = WS_CHILD | WS_VISIBLE;
    control.id = static_cast<UINT>(id);
    control.parent = native.hwnd;
    m_windows[item] = control;
    Find(native.hwnd)->children.push_back(item);
  }
  const HWND dialog = native.hwnd;
  m_modalDialogs.push_back(dialog);

  SendMessage(dialog, WM_INITDIALOG, 0, 0);
  std::optional<int> quitCode;
  if (WindowRecord* r = Find(dialog); r && !r->dialogEnded) {
    r->style |= WS_VISIBLE;
    NativeShowDialog(dialog, owner);
    quitCode = RunModalLoop([this, dialog] {
      const WindowRecord* record = Find(dialog);
      return !record || record->dialogEnded;
    });
  }
  INT_PTR result = IDCANCEL;
  if (WindowRecord* r = Find(dialog)) {
    result = r->dialogEnded ? r->dialogResult : IDCANCEL;
    DestroyWindow(dialog);
  }
  std::erase(m_modalDialogs, dialog);
  if (quitCode) PostQuitMessage(*quitCode);
  return result;
}

std::optional<int> WindowingCore::RunModalLoop(const std::function<bool()>& done) {
  MSG msg;
  while (!done()) {
    const BOOL got = GetMessage(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(static_cast<INT_PTR>(msg.wParam));
    if (got == -1) continue;
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return std::nullopt;
}

BOOL WindowingCore::EndDialog(HWND dialog, INT_PTR result) {
  WindowRecord* record = Find(dialog);
  if (!record || record->kind != WindowKind::Dialog) return FALSE;
  if (record->dialogEnded) return TRUE;
  record->dialogEnded = true;
  record->dialogResult = result;
  record->style &= ~WS_VISIBLE;
  NativeHideDialog(dialog);
  // The modal loop may be waiting for a message; give it one so it notices.
  PostMessage(nullptr, WM_NULL, 0, 0);
  return TRUE;
}

HWND WindowingCore::GetDlgItem(HWND dialog, int id) {
  const WindowRecord* record = Find(dialog);
  if (!record) return nullptr;
  for (HWND child : record->children) {
    const WindowRecord* c = Find(child);
    if (c && static_cast<int>(c->id) == id) return child;
  }
  return nullptr;
}

BOOL WindowingCore::MessageBeep(UINT) {
  NativeBeep();
  return TRUE;
}
