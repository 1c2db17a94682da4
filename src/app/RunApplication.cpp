#include "app/RunApplication.h"

#include <cstdio>

#include "app/CheckRuntime.h"
#include "app/MainFrame.h"
#include "platform/ISystem.h"
#include "platform/IWindowing.h"
#include "platform/Platform.h"
#include "resources/Resource.h"
#include "resources/StringTable.h"
#include "util/FormatMessageWithHResult.h"
#include "window/AppModule.h"
#include "window/MessageLoop.h"

namespace {
// Keeps the loop registered for exactly as long as it exists, on every way
// out of start-up, so the module never hands out a loop that is gone.
class MessageLoopRegistration {
 public:
  explicit MessageLoopRegistration(CMessageLoop* loop) { g_module.AddMessageLoop(loop); }
  ~MessageLoopRegistration() { g_module.RemoveMessageLoop(); }
  MessageLoopRegistration(const MessageLoopRegistration&) = delete;
  MessageLoopRegistration& operator=(const MessageLoopRegistration&) = delete;
};

// Points later starts of the application at the frame for as long as the
// frame's window can take their requests.
class InstanceWindowRegistration {
 public:
  explicit InstanceWindowRegistration(HWND window) { Platform::System().SetInstanceWindow(window); }
  ~InstanceWindowRegistration() { Platform::System().SetInstanceWindow(nullptr); }
  InstanceWindowRegistration(const InstanceWindowRegistration&) = delete;
  InstanceWindowRegistration& operator=(const InstanceWindowRegistration&) = delete;
};
}  // namespace

std::u16string ApplicationIdFor(std::u16string_view browserId) {
  return u"QuillBrowser." + std::u16string(browserId);
}

int RunApplication(int nCmdShow) {
  IWindowing& windowing = Platform::Windowing();
  CMessageLoop loop;
  MessageLoopRegistration registration(&loop);

  windowing.SetProcessDpiAware();

  CMainFrame frame;
  frame.m_view.m_pFrame = &frame;

  const HRESULT hr = frame.LoadSettings();
  if (FAILED(hr)) {
    const std::u16string text =
        FormatMessageWithHResult(LoadStringResource(IDS_SETTINGS_LOAD_FAILED), hr);
    windowing.MessageBox(nullptr, text, u"", MB_OK | MB_ICONERROR);
    return 0;
  }

  // Before any window exists, so that the desktop groups the frame under it.
  const std::u16string applicationId = ApplicationIdFor(frame.m_settings.browserID);
  windowing.SetApplicationId(applicationId);
  // The runtime loader keys its policy values by the same identity.
  Platform::System().SetAppUserModelId(applicationId);

  // One process per application and working folder: a second one would
  // open a second engine on the same data folder and find the local
  // server's address taken. A start that hands over to the running process
  // has done what was asked of it and ends with 0; one whose earlier process
  // neither answers nor ends says so and ends with 1.
  std::u16string folder;
  Platform::System().GetCurrentDirectory(&folder);
  switch (Platform::System().ClaimInstance(applicationId + u"\n" + folder)) {
    case InstanceClaim::First:
      break;
    case InstanceClaim::HandedOver:
      return 0;
    case InstanceClaim::NoAnswer:
      std::fputs("vellumview: the running instance of this application does not answer; exiting\n", stderr);
      return 1;
  }

  if (!CheckRuntime()) return 0;

  if (!frame.CreateEx()) {
    // A frame that existed and was closed while it was being created (the
    // web view host reported a set-up failure) ends like any closed frame;
    // one that was never made ends start-up with 0.
    return frame.m_windowExisted ? 1 : 0;
  }
  frame.ShowWindow(nCmdShow);
  const InstanceWindowRegistration instanceWindow(frame.m_hWnd);

  return loop.Run();
}
