#pragma once
// The number of processors a page is told it may use. The engine reports 4
// or 8 in navigator.hardwareConcurrency whatever the machine has, so a
// threaded WebAssembly application on a two-core machine starts twice the
// workers it has cores for, and one given fewer cores by its affinity mask
// more still. The runtime tells every frame the count of the processors this
// process may run on, which its web processes inherit.
#include <webkit2/webkit2.h>

#include <string>

class ProcessorCount {
 public:
  // The processors in the calling thread's affinity mask, at least 1.
  static unsigned Allowed();
  // The script, run in every frame before the page's own, that makes
  // navigator.hardwareConcurrency report `count`.
  static std::string PageScript(unsigned count);
  // Adds that script, for Allowed(), to the view's content.
  static void Install(WebKitWebView* view);
};
