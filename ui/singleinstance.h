#pragma once
// One running instance per user: the first start holds a named event for its
// whole life; a later start signals it (the running window comes back from the
// tray) and ends, unless it was given "-w".
#include <string>
#include <vector>

#include "platform/namedevent.h"

extern const char kInstanceEventName[];

// 1 when this process goes on, 0 when another instance runs and it was
// signalled. A first instance keeps the event open in `held`.
int CheckSingleInstance(const std::vector<std::wstring>& args, CNamedEvent& held);
// Holds the event without asking (a start by the updater), so that a later
// start still finds this instance running.
void HoldInstanceEvent(CNamedEvent& held);
