#pragma once
// The share-settings page the client shows in its hosted browser, and the
// two endpoints its script calls.
#include "devserver/service.h"

namespace devserver {

void AddSharePageRoutes(Service& service, const RouteAdder& add);

}  // namespace devserver
