#pragma once
// Which thread runs the user interface, so the core can avoid blocking it:
// calls that would wait for a worker only signal it when made on that thread.

// Called once by the UI at start-up, on its own thread.
void MarkUiThread();
// False until MarkUiThread has been called.
bool IsUiThread();
