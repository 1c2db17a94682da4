#pragma once
// The windowing platform of the unit tests: windows exist only as records,
// every native call is written to a call log, message boxes and dialogs are
// answered by the test, and the message loop runs on a scripted stream.
//
// When the loop would wait for a message, the next scripted step runs (it
// usually posts messages or answers a dialog). When no step is left, the
// fake either waits for another thread (AllowBlocking) or ends the loop
// with PostQuitMessage(kStarvedExitCode) and remembers that it starved, so
// a test that forgot to close its window fails instead of hanging.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/WindowingCore.h"

class FakeWindowing : public WindowingCore {
 public:
  static constexpr int kStarvedExitCode = -999;

  struct Call {
    std::string name;
    HWND hwnd = nullptr;
    std::u16string text;
    RECT rect{};
    std::intptr_t value = 0;
  };

  struct ShownMessageBox {
    HWND owner = nullptr;
    std::u16string text;
    std::u16string caption;
    UINT type = 0;
  };

  struct ShownDialog {
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    DialogTemplate dialogTemplate;
  };

  FakeWindowing();
  ~FakeWindowing() override;

  bool Initialize() override;
  void SetProcessDpiAware() override;

  // --- Set-up ---------------------------------------------------------------------
  void SetHasDisplay(bool hasDisplay) { m_hasDisplay = hasDisplay; }
  // Adds a step to the script run when the loop would wait.
  void Script(std::function<void()> step);
  // Lets WaitForWork block for another thread's send or post once the script
  // is exhausted, instead of starving.
  void AllowBlocking(bool allow) { m_allowBlocking = allow; }
  // The answers given to the next message boxes, in order; IDOK afterwards.
  void AnswerMessageBoxes(std::vector<int> answers);
  // Answers the next Save dialogs, in order; a dialog without an answer is
  // cancelled. An answer fills the result and returns the dialog's status.
  using SaveDialogAnswer = std::function<HRESULT(const SaveFileDialog&, SaveFileDialogResult*)>;
  void AnswerSaveDialogs(std::vector<SaveDialogAnswer> answers);
  // Replaces the monitors; the first is the primary one.
  void SetMonitors(std::vector<MONITORINFO> monitors) { m_monitors = std::move(monitors); }
  void SetDefaultRect(const RECT& rect) { m_defaultRect = rect; }
  void SetToolBarHeight(int height) { m_toolBarHeight = height; }
  // Makes the next window creation fail in the native layer.
  void FailNextCreate() { m_failNextCreate = true; }
  // Dialog templates with this caption cannot be created (DialogBox gives -1).
  void FailDialogsCaptioned(std::u16string caption) { m_failDialogCaption = std::move(caption); }

  // --- Inspection -------------------------------------------------------------------
  const std::vector<Call>& Calls() const { return m_calls; }
  // The calls with the given name, in order.
  std::vector<Call> CallsNamed(std::string_view name) const;
  const std::vector<ShownMessageBox>& MessageBoxes() const { return m_messageBoxes; }
  const std::vector<ShownDialog>& Dialogs() const { return m_dialogs; }
  // The Save dialogs shown, with their owners.
  const std::vector<std::pair<HWND, SaveFileDialog>>& SaveDialogs() const { return m_saveDialogs; }
  const std::vector<std::string>& ErrorLines() const { return m_errorLines; }
  bool Starved() const { return m_starved; }
  // The buttons of a toolbar created through CreateToolBar.
  std::vector<ToolBarButton> ToolBarButtons(HWND toolBar) const;
  // Simulates the user resizing a top-level window (WM_SIZE is sent).
  void UserResize(HWND hwnd, int width, int height);

  HRESULT ShowSaveFileDialog(HWND owner, const SaveFileDialog& dialog, SaveFileDialogResult* result) override;

 protected:
  HWND NativeCreateWindow(const WindowRecord& record) override;
  NativeDialog NativeCreateDialog(const DialogTemplate& dialogTemplate, HWND owner) override;
  HWND NativeCreateToolBar(HWND parent, std::span<const ToolBarButton> buttons, RECT* rect) override;
  void NativeDestroyWindow(HWND hwnd) override;
  void NativeShowWindow(HWND hwnd, int command) override;
  void NativeSetText(HWND hwnd, std::u16string_view text) override;
  void NativeSetPos(HWND hwnd, const RECT& rect, bool moved, bool sized) override;
  void NativeStyleChanged(HWND hwnd, DWORD oldStyle, DWORD newStyle) override;
  void NativeSetFocus(HWND hwnd) override;
  bool NativeGetMonitorInfo(HWND nearWindow, MONITORINFO* info) override;
  int NativeMessageBox(HWND owner, std::u16string_view text, std::u16string_view caption,
                       UINT type) override;
  void NativeShowDialog(HWND dialog, HWND owner) override;
  void NativeHideDialog(HWND dialog) override;
  LRESULT NativeControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override;
  void NativeWindowMenuChanged(HWND hwnd) override;
  bool NativeShowWindowMenu(HWND hwnd, int x, int y) override;
  void NativeBeep() override;
  void NativeInvalidate(HWND hwnd) override;
  void NativeApplicationIdChanged(std::u16string_view id) override;
  RECT NativeDefaultRect() override;
  void WaitForWork() override;
  void PumpNative() override;
  void WakeUp() override;
  void WriteErrorLine(std::string_view line) override;

 private:
  HWND NewHandle();
  void Record(std::string name, HWND hwnd, std::u16string text = {}, RECT rect = {},
              std::intptr_t value = 0);

  bool m_hasDisplay = true;
  bool m_allowBlocking = false;
  bool m_starved = false;
  bool m_failNextCreate = false;
  std::u16string m_failDialogCaption;
  int m_toolBarHeight = 30;
  std::uintptr_t m_nextHandle = 0x1000;
  RECT m_defaultRect{10, 10, 810, 610};
  std::vector<MONITORINFO> m_monitors;
  std::deque<std::function<void()>> m_script;
  std::deque<int> m_messageBoxAnswers;
  std::deque<SaveDialogAnswer> m_saveDialogAnswers;
  std::vector<std::pair<HWND, SaveFileDialog>> m_saveDialogs;
  std::vector<Call> m_calls;
  std::vector<ShownMessageBox> m_messageBoxes;
  std::vector<ShownDialog> m_dialogs;
  std::vector<std::string> m_errorLines;
  std::vector<std::pair<HWND, std::vector<ToolBarButton>>> m_toolBars;

  std::mutex m_wakeMutex;
  std::condition_variable m_wake;
  bool m_woken = false;
};
