#pragma once
// Every 20th 64 KB chunk an encode or decode pauses, so a long run gives up the
// processor now and then. By default the pause sleeps 1 ms; tests replace it to
// run fast or to act on the source while it is being read.
#include <functional>

using FileCryptPause = std::function<void()>;

// An empty function restores the 1 ms sleep. Calls already running keep the
// pause they started with.
void SetFileCryptPause(FileCryptPause pause);

// The pause in effect now (never empty).
FileCryptPause CurrentFileCryptPause();
