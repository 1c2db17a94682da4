#include "platform/Platform.h"

#include <cstdio>
#include <cstdlib>

namespace {
IWindowing* g_windowing = nullptr;
ISystem* g_system = nullptr;

[[noreturn]] void Missing(const char* what) {
  std::fprintf(stderr, "vellumview: no %s platform installed\n", what);
  std::abort();
}
}  // namespace

IWindowing& Platform::Windowing() {
  if (!g_windowing) Missing("windowing");
  return *g_windowing;
}

ISystem& Platform::System() {
  if (!g_system) Missing("system");
  return *g_system;
}

void Platform::Install(IWindowing* windowing, ISystem* system) {
  g_windowing = windowing;
  g_system = system;
}
