// The shell keeps the one-at-a-time rule itself: a window it opened need not
// know of it, only be destroyed when it closes.
#include "shell/shell.h"

#include "model/model.h"

namespace {

void onGone(GtkWidget *, gpointer) { in_use = 0; }

}  // namespace

void releaseWhenGone(GtkWidget *other) { g_signal_connect(other, "destroy", G_CALLBACK(onGone), nullptr); }
