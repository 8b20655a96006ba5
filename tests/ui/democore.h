#pragma once
// The program's real core against the service emulator, for windows that
// are shown logged in to the demo account.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>

#include "base/db/dbconfigstore.h"
#include "base/settings/inisettings.h"
#include "core/coreapp/componentmakers.h"
#include "core/coreapp/coreaccess.h"
#include "platform/strings.h"
#include "tests/support/emulatorfixture.h"
#include "tests/ui/fakeuservalues.h"
#include "ui/bridgesink.h"
#include "ui/main/componentwiring.h"

namespace ui_test {

// The core started over a scratch folder with these parts; Stop shuts it
// down and puts the default parts back.
class CoreRun {
public:
    void Start(const CoreComponentMakers& makers, const std::string& scratch, IMainWindow* bridge) {
        setenv("PELLUX_REGISTRY_FILE", (scratch + "/registry.ini").c_str(), 1);
        SetDefaultComponentMakers(makers);
        ASSERT_EQ(GetCoreAccess().Startup(Utf8ToWide(scratch + "/data"), bridge), S_OK);
    }
    void Stop() {
        GetCoreAccess().Shutdown();
        CloseUserDatabase();
        SetDefaultComponentMakers(saved);
        unsetenv("PELLUX_REGISTRY_FILE");
    }

private:
    CoreComponentMakers saved = GetDefaultComponentMakers();
};

class DemoCoreTest : public pellux_test::EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (HasFatalFailure())
            return;
        SetIniFolder(Utf8ToWide(ConfigFolder()));
        InstallComponentMakers();
        run.Start(GetDefaultComponentMakers(), pellux_test::MakeTempDir("democore"), &sink);
    }
    void TearDown() override {
        run.Stop();
        EmulatorTest::TearDown();
    }
    static bool LogIn() { return GetCoreAccess().BindWithLogin(L"demo", L"demo", 1) == S_OK; }

    CoreRun run;
    FakeUserValues promptValues;
    CBridgeSink sink{promptValues};
};

}  // namespace ui_test
