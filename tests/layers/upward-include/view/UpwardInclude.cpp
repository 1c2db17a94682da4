// A view source that includes the application layer above it: the layer
// check must reject it. The view reaches its frame through view/IViewFrame.h.
#include "app/MainFrame.h"
