// A window-library source that includes the view, which is built on the
// window library: the layer check must reject it. The window library knows
// only the platform below it.
#include "view/View.h"
