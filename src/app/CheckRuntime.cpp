#include "app/CheckRuntime.h"

// The runtime query and the first-run setup join start-up here. Until they
// do, start-up always goes on to the frame.
bool CheckRuntime() { return true; }
