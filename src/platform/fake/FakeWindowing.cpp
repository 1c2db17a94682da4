#include "platform/fake/FakeWindowing.h"

#include <algorithm>

#include "util/Win32Error.h"

FakeWindowing::FakeWindowing() {
  MONITORINFO primary;
  primary.rcMonitor = RECT{0, 0, 1920, 1080};
  primary.rcWork = RECT{0, 0, 1920, 1040};
  primary.dwFlags = 1;
  m_monitors.push_back(primary);
}

FakeWindowing::~FakeWindowing() = default;

bool FakeWindowing::Initialize() {
  Record("Initialize", nullptr);
  return m_hasDisplay;
}

void FakeWindowing::SetProcessDpiAware() {
  Record("SetProcessDpiAware", nullptr);
}

void FakeWindowing::Script(std::function<void()> step) { m_script.push_back(std::move(step)); }

void FakeWindowing::AnswerMessageBoxes(std::vector<int> answers) {
  m_messageBoxAnswers.assign(answers.begin(), answers.end());
}

std::vector<FakeWindowing::Call> FakeWindowing::CallsNamed(std::string_view name) const {
  std::vector<Call> out;
  for (const Call& call : m_calls)
    if (call.name == name) out.push_back(call);
  return out;
}

std::vector<ToolBarButton> FakeWindowing::ToolBarButtons(HWND toolBar) const {
  for (const auto& [hwnd, buttons] : m_toolBars)
    if (hwnd == toolBar) return buttons;
  return {};
}

void FakeWindowing::UserResize(HWND hwnd, int width, int height) {
  const WindowRecord* record = Find(hwnd);
  if (!record) return;
  RECT rect = record->rect;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  NativeResized(hwnd, rect, true);
}

HWND FakeWindowing::NewHandle() {
  m_nextHandle += 0x10;
  return reinterpret_cast<HWND>(m_nextHandle);
}

void FakeWindowing::Record(std::string name, HWND hwnd, std::u16string text, RECT rect,
                           std::intptr_t value) {
  m_calls.push_back(Call{std::move(name), hwnd, std::move(text), rect, value});
}

HWND FakeWindowing::NativeCreateWindow(const WindowRecord& record) {
  if (m_failNextCreate) {
    m_failNextCreate = false;
    Record("CreateWindowFailed", nullptr, record.text, record.rect, record.style);
    return nullptr;
  }
  HWND hwnd = NewHandle();
  Record(record.kind == WindowKind::Child ? "CreateChild" : "CreateTopLevel", hwnd, record.text,
         record.rect, record.style);
  return hwnd;
}

FakeWindowing::NativeDialog FakeWindowing::NativeCreateDialog(const DialogTemplate& dialogTemplate,
                                                              HWND owner) {
  NativeDialog native;
  if (!m_failDialogCaption.empty() && dialogTemplate.caption == m_failDialogCaption) {
    Record("CreateDialogFailed", nullptr, dialogTemplate.caption);
    return native;
  }
  native.hwnd = NewHandle();
  // Dialog units become pixels at 2 per unit, which keeps the arithmetic of
  // tests simple; the placement starts at the origin until it is centred.
  native.rect = RECT{0, 0, dialogTemplate.width * 2, dialogTemplate.height * 2};
  for (const DialogItem& item : dialogTemplate.items)
    if (item.id != -1) native.items.emplace_back(item.id, NewHandle());
  m_dialogs.push_back(ShownDialog{native.hwnd, owner, dialogTemplate});
  Record("CreateDialog", native.hwnd, dialogTemplate.caption, native.rect);
  return native;
}

HWND FakeWindowing::NativeCreateToolBar(HWND parent, std::span<const ToolBarButton> buttons,
                                        RECT* rect) {
  HWND hwnd = NewHandle();
  RECT client{};
  GetClientRect(parent, &client);
  *rect = RECT{0, 0, client.right, m_toolBarHeight};
  m_toolBars.emplace_back(hwnd, std::vector<ToolBarButton>(buttons.begin(), buttons.end()));
  Record("CreateToolBar", hwnd, {}, *rect, static_cast<std::intptr_t>(buttons.size()));
  return hwnd;
}

void FakeWindowing::NativeDestroyWindow(HWND hwnd) { Record("Destroy", hwnd); }

void FakeWindowing::NativeShowWindow(HWND hwnd, int command) { Record("Show", hwnd, {}, {}, command); }

void FakeWindowing::NativeSetText(HWND hwnd, std::u16string_view text) {
  Record("SetText", hwnd, std::u16string(text));
}

void FakeWindowing::NativeSetPos(HWND hwnd, const RECT& rect, bool moved, bool sized) {
  Record("SetPos", hwnd, {}, rect, (moved ? 1 : 0) | (sized ? 2 : 0));
}

void FakeWindowing::NativeStyleChanged(HWND hwnd, DWORD oldStyle, DWORD newStyle) {
  Record("Style", hwnd, {}, {}, static_cast<std::intptr_t>(newStyle));
}

void FakeWindowing::NativeSetFocus(HWND hwnd) { Record("Focus", hwnd); }

bool FakeWindowing::NativeGetMonitorInfo(HWND nearWindow, MONITORINFO* info) {
  if (m_monitors.empty()) return false;
  const MONITORINFO* best = &m_monitors.front();
  if (nearWindow) {
    RECT w{};
    GetWindowRect(nearWindow, &w);
    // The monitor sharing the largest area with the window, else the one whose
    // area is closest to the window's centre.
    long long bestArea = -1;
    long long bestDistance = -1;
    const long long cx = (w.left + w.right) / 2, cy = (w.top + w.bottom) / 2;
    for (const MONITORINFO& m : m_monitors) {
      const long long iw = std::max<long long>(0, std::min(w.right, m.rcMonitor.right) -
                                                      std::max(w.left, m.rcMonitor.left));
      const long long ih = std::max<long long>(0, std::min(w.bottom, m.rcMonitor.bottom) -
                                                      std::max(w.top, m.rcMonitor.top));
      const long long dx = cx < m.rcMonitor.left ? m.rcMonitor.left - cx
                           : cx > m.rcMonitor.right ? cx - m.rcMonitor.right : 0;
      const long long dy = cy < m.rcMonitor.top ? m.rcMonitor.top - cy
                           : cy > m.rcMonitor.bottom ? cy - m.rcMonitor.bottom : 0;
      const long long area = iw * ih;
      const long long distance = dx * dx + dy * dy;
      if (area > bestArea || (area == bestArea && area == 0 && distance < bestDistance)) {
        bestArea = area;
        bestDistance = distance;
        best = &m;
      }
    }
  }
  *info = *best;
  return true;
}

int FakeWindowing::NativeMessageBox(HWND owner, std::u16string_view text,
                                    std::u16string_view caption, UINT type) {
  m_messageBoxes.push_back(ShownMessageBox{owner, std::u16string(text), std::u16string(caption), type});
  Record("MessageBox", owner, std::u16string(text), {}, type);
  if (m_messageBoxAnswers.empty()) return IDOK;
  const int answer = m_messageBoxAnswers.front();
  m_messageBoxAnswers.pop_front();
  return answer;
}

void FakeWindowing::NativeShowDialog(HWND dialog, HWND owner) { Record("ShowDialog", dialog); }

void FakeWindowing::NativeHideDialog(HWND dialog) { Record("HideDialog", dialog); }

LRESULT FakeWindowing::NativeControlMessage(HWND control, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  // The message's parameters travel in the rectangle's first two fields.
  Record("ControlMessage", control, {}, RECT{static_cast<LONG>(wParam), static_cast<LONG>(lParam), 0, 0}, message);
  if (message == WM_SIZE) {
    // A toolbar stretches across its parent, as the real one does.
    const WindowRecord* record = Find(control);
    if (record) {
      RECT client{};
      GetClientRect(record->parent, &client);
      RECT rect = record->rect;
      rect.right = rect.left + client.right;
      NativeResized(control, rect, false);
    }
  }
  return 0;
}

void FakeWindowing::NativeWindowMenuChanged(HWND hwnd) { Record("WindowMenuChanged", hwnd); }

bool FakeWindowing::NativeShowWindowMenu(HWND hwnd, int x, int y) {
  Record("ShowWindowMenu", hwnd, {}, RECT{x, y, x, y});
  return true;
}

void FakeWindowing::NativeBeep() { Record("Beep", nullptr); }

void FakeWindowing::NativeInvalidate(HWND hwnd) { Record("Invalidate", hwnd); }

void FakeWindowing::NativeApplicationIdChanged(std::u16string_view id) {
  Record("SetApplicationId", nullptr, std::u16string(id));
}

RECT FakeWindowing::NativeDefaultRect() { return m_defaultRect; }

void FakeWindowing::WaitForWork() {
  if (!m_script.empty()) {
    auto step = std::move(m_script.front());
    m_script.pop_front();
    step();
    return;
  }
  if (m_allowBlocking) {
    std::unique_lock lock(m_wakeMutex);
    m_wake.wait(lock, [&] { return m_woken; });
    m_woken = false;
    return;
  }
  m_starved = true;
  PostQuitMessage(kStarvedExitCode);
}

void FakeWindowing::PumpNative() {}

void FakeWindowing::WakeUp() {
  std::lock_guard lock(m_wakeMutex);
  m_woken = true;
  m_wake.notify_all();
}

void FakeWindowing::WriteErrorLine(std::string_view line) { m_errorLines.emplace_back(line); }

void FakeWindowing::AnswerSaveDialogs(std::vector<SaveDialogAnswer> answers) {
  for (auto& answer : answers) m_saveDialogAnswers.push_back(std::move(answer));
}

HRESULT FakeWindowing::ShowSaveFileDialog(HWND owner, const SaveFileDialog& dialog, SaveFileDialogResult* result) {
  Record("ShowSaveFileDialog", owner, dialog.title);
  m_saveDialogs.emplace_back(owner, dialog);
  if (!result) return E_POINTER;
  *result = {};
  if (m_saveDialogAnswers.empty()) return HResultFromWin32(ERROR_CANCELLED);
  const SaveDialogAnswer answer = std::move(m_saveDialogAnswers.front());
  m_saveDialogAnswers.pop_front();
  return answer(dialog, result);
}
