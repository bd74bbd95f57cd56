#include "ui/current_line.h"

volatile int CurrentLine = 0;
