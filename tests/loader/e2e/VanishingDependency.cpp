// A library that only exists at link time: the library that needs it is
// loaded from a folder where it cannot be found.
extern "C" int VellumVanishingDependency() { return 1; }
