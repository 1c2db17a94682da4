// A library in the runtime's place that carries a version but no creation
// entry, as a damaged or foreign runtime would.
__attribute__((section(".vellumview_version"), used)) static const char kVersion[] = "131.0.1.0";

extern "C" __attribute__((visibility("default"))) int VellumNotTheEntry() { return 1; }
