#include "core/coreapp/componentmakers.h"

#include <mutex>

#include "core/remotestorage/remotestorage/iremotestorage.h"

namespace {

std::mutex g_makersLock;

CoreComponentMakers& DefaultMakers() {
    static CoreComponentMakers makers = [] {
        CoreComponentMakers m;
        m.remoteStorage = [](IRemoteStorage** out) { return CreateRemoteStorage(out); };
        return m;
    }();
    return makers;
}

}  // namespace

CoreComponentMakers GetDefaultComponentMakers() {
    std::lock_guard<std::mutex> guard(g_makersLock);
    return DefaultMakers();
}

void SetDefaultComponentMakers(const CoreComponentMakers& makers) {
    std::lock_guard<std::mutex> guard(g_makersLock);
    DefaultMakers() = makers;
}
