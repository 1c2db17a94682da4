#pragma once
// The runtime's trace file of a runtime GUI test program, which the shared
// main (RuntimeGuiMain.cpp) names before the runtime's first use and removes
// afterwards (unless VELLUM_KEEP_TRACE is set).
#include <string>

const std::string& TracePath();

// The runtime's server origin from its last start line of the trace.
std::string ServerOrigin();
