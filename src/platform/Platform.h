#pragma once
// The one door to the operating system. The core reaches windows, messages,
// dialogs, the registry store, the environment, files, the shell, library
// loading and diagnostics only through these two interfaces. main() installs
// the Linux backend; unit tests install the fake one.
class IWindowing;
class ISystem;

class Platform {
 public:
  static IWindowing& Windowing();
  static ISystem& System();
  // Not owned: the caller keeps both alive until it installs others.
  static void Install(IWindowing* windowing, ISystem* system);
};
