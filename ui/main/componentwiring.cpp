#include "componentwiring.h"

#include "core/coreapp/componentmakers.h"

void InstallComponentMakers() {
    // Each component library adds its maker here as it lands; until then the
    // defaults stand (the service client only).
    SetDefaultComponentMakers(GetDefaultComponentMakers());
}
