#include "app/loop_state.h"

LoopState g_loop;
