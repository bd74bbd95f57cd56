#pragma once

// The player's one loop: wait for an event until periodic work falls due, dispatch it, do
// the periodic work. Never returns; the program ends inside a handler.
[[noreturn]] void RunEventLoop();
