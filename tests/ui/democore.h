#pragma once
// The program's real core against the service emulator, for windows that
// are shown logged in to the demo account.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>

#include "base/settings/inisettings.h"
#include "core/coreapp/componentmakers.h"
#include "core/coreapp/coreaccess.h"
#include "platform/strings.h"
#include "tests/support/emulatorfixture.h"
#include "tests/ui/fakeuservalues.h"
#include "ui/bridgesink.h"
#include "ui/main/componentwiring.h"

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
        saved = GetDefaultComponentMakers();
        InstallComponentMakers();
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
