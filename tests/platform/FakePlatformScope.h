#pragma once
// Installs a fresh fake windowing platform and fake system for one test and
// takes them out again afterwards, so that no test sees another's windows.
#include "platform/Platform.h"
#include "platform/fake/FakeSystem.h"
#include "platform/fake/FakeWindowing.h"

class FakePlatformScope {
 public:
  FakePlatformScope() { Platform::Install(&windowing, &system); }
  ~FakePlatformScope() { Platform::Install(nullptr, nullptr); }

  FakeWindowing windowing;
  FakeSystem system;
};
