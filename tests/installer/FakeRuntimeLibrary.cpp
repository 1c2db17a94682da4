// A stand-in for the runtime library that carries only a version, in the
// section where the real library keeps it. Payload tests build one library
// per version from this file.
__attribute__((section(".vellumview_version"), used)) static const char kVersion[] = FAKE_RUNTIME_VERSION;
