// The program's entry point: installs the Linux platform, connects to the
// display and runs start-up. The command line is not read.
#include <cstdio>

#include "app/RunApplication.h"
#include "platform/Platform.h"
#include "platform/WindowMessages.h"
#include "platform/linux/system/LinuxSystem.h"
#include "platform/linux/windowing/LinuxWindowing.h"
#include "window/AppModule.h"

int main() {
  LinuxSystem system;
  LinuxWindowing windowing;
  Platform::Install(&windowing, &system);
  if (!windowing.Initialize()) {
    // Without a display there is no window to show and no message box to
    // explain why; say it where someone starting the program will look.
    std::fputs(
        "vellumview: cannot open a display (is DISPLAY or WAYLAND_DISPLAY set?); nothing to "
        "show, exiting\n",
        stderr);
    Platform::Install(nullptr, nullptr);
    return 0;
  }
  g_module.Init(nullptr);
  const int exitCode = RunApplication(SW_SHOWDEFAULT);
  g_module.Term();
  Platform::Install(nullptr, nullptr);
  return exitCode;
}
