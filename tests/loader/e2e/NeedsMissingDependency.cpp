// A library whose own dependency is missing when it is loaded.
extern "C" int VellumVanishingDependency();
extern "C" int VellumNeedsDependency() { return VellumVanishingDependency(); }
