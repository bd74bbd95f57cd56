#include "settings/priority_on_top_win.h"

#include "ui/elements_win.h"

void ApplyPriority(int32_t highPriority) {
    SetPriorityClass(GetCurrentProcess(), highPriority == 1 ? HIGH_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS);
}

void ApplyOnTop(int32_t onTop) {
    KeepMainWindowOnTop(onTop != 0);
}
