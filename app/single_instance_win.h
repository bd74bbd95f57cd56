#pragma once

// True when this process is the first instance. A second instance hands its first
// argument (if any) to the first one and never returns from here: it ends the process.
bool ClaimSingleInstance(const char* firstArgument);
