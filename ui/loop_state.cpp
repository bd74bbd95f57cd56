#include "ui/loop_state.h"

LoopState g_loop;
