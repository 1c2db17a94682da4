// A core source that includes a toolkit header: the layer check must reject it.
#include <gtk/gtk.h>
