#include "app/main_window_callback_win.h"

void TakeHandedOverPath(const char*) {
}
