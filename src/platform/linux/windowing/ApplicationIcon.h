#pragma once
// The icon name for the program's windows: the application's own icon, or a
// generic browser icon when the theme does not know ours (an uninstalled
// build). Needs GTK initialised.
const char* ApplicationIconName();
