// An engine source that includes a header of the program's platform other
// than the GObject owner: the layer check must reject it. The runtime is
// loaded by the program and shares nothing else of its platform.
#include "platform/Platform.h"
