#include "ui/singleinstance.h"

#include "ui/commandline.h"

const char kInstanceEventName[] = "Velmoran_Pellux_Process_Instance_Mutex";

int CheckSingleInstance(const std::vector<std::wstring>& args, CNamedEvent& held) {
    bool existed = false;
    if (!held.Create(kInstanceEventName, true, false, &existed))
        return 1;
    if (!existed)
        return 1;
    const bool further = HasSwitch(args, L"-w", true);
    if (!further)
        held.Set();
    held.Close();
    return further ? 1 : 0;
}

void HoldInstanceEvent(CNamedEvent& held) {
    held.Create(kInstanceEventName, true, false);
}
