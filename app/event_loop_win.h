#pragma once

// The player's one loop: wait at most 10 ms for an event, dispatch it, do the periodic
// work. Never returns; the program ends inside a handler.
[[noreturn]] void RunEventLoop();
