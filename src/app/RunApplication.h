#pragma once
// Start-up: reads the settings, gives the process its identity, makes sure
// a runtime is installed, creates and shows the main frame and runs the
// message loop. Returns the process's exit code: 1 after the frame existed
// and was destroyed, 0 after any failure before that.
#include <string>
#include <string_view>

// nCmdShow goes to the frame's first ShowWindow.
int RunApplication(int nCmdShow);

// The identity under which the desktop groups the frame: "QuillBrowser."
// followed by the browserID setting as it stands (an empty one leaves the
// trailing dot).
std::u16string ApplicationIdFor(std::u16string_view browserId);
