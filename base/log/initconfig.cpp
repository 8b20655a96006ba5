#include "base/log/initconfig.h"

#include "base/log/logfile.h"
#include "base/settings/inisettings.h"

int InitConfigAndLog(const std::wstring& folder) {
    SetIniFolder(folder);
    SetupLog(folder);
    return 0;
}
