#pragma once

// The number of the statement running now; the error report names it. Every source file
// that marks statements defines LINE_BASE (a distinct multiple of 10000) before including
// this header, so a reported number names the file as well as the line within it.
extern volatile int CurrentLine;

#define AT_LINE() (CurrentLine = LINE_BASE + __LINE__)
