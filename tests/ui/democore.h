#pragma once
// The program's real core against the service emulator, for windows that
// are shown logged in to the demo account.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>

#include "base/settings/inisettings.h"
#include "core/coreapp/componentmakers.h"
#include "core/coreapp/coreaccess.h"
#include "core/eventcenter/eventcenter.h"
#include "core/filesystem/filesystem/filesystem.h"
#include "core/localstorage/localstorage/localstorage.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/taskmgr/taskmgr.h"
#include "platform/strings.h"
#include "tests/support/emulatorfixture.h"
#include "tests/ui/fakeuservalues.h"
#include "ui/bridgesink.h"

namespace ui_test {

class DemoCoreTest : public pellux_test::EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (HasFatalFailure())
            return;
        SetIniFolder(Utf8ToWide(ConfigFolder()));
        const std::string scratch = pellux_test::MakeTempDir("democore");
        setenv("PELLUX_REGISTRY_FILE", (scratch + "/registry.ini").c_str(), 1);
        CoreComponentMakers makers;
        makers.localStorage = [](ILocalStorage** out) { return CreateLocalStorage(out); };
        makers.remoteStorage = [](IRemoteStorage** out) { return CreateRemoteStorage(out); };
        makers.taskMgr = [](ITaskMgr** out) { return CreateTaskMgr(out); };
        makers.fileSystem = [](IFileSystem** out) { return CreateFileSystem(out); };
        makers.eventCenter = [](IEventCenter** out) { return CreateEventCenter(out); };
        saved = GetDefaultComponentMakers();
        SetDefaultComponentMakers(makers);
        ASSERT_EQ(GetCoreAccess().Startup(Utf8ToWide(scratch + "/data"), &sink), S_OK);
    }
    void TearDown() override {
        GetCoreAccess().Shutdown();
        SetDefaultComponentMakers(saved);
        unsetenv("PELLUX_REGISTRY_FILE");
        EmulatorTest::TearDown();
    }
    static bool LogIn() { return GetCoreAccess().BindWithLogin(L"demo", L"demo", 1) == S_OK; }

    CoreComponentMakers saved;
    FakeUserValues promptValues;
    CBridgeSink sink{promptValues};
};

}  // namespace ui_test
