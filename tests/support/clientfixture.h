#pragma once
// The emulator with the client's settings pointed at it and a fresh scratch
// folder that holds the registry store: the set-up every client suite shares.
// FakeCoreTest adds the core-access object started with fake components;
// ServiceClientTest the demo account logged in, a stand-in sync center with
// its session and the real service client behind a forwarding layer.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "base/db/dbconfigstore.h"
#include "base/settings/inisettings.h"
#include "core/coreapp/coreaccess.h"
#include "platform/strings.h"
#include "tests/support/emulatorfixture.h"
#include "tests/support/fakecomponents.h"
#include "tests/support/fakesynccenter.h"
#include "tests/support/forwardingremotestorage.h"
#include "tests/support/scriptedbridge.h"
#include "tests/support/testenvironment.h"
#include "tests/support/testusercache.h"

namespace pellux_test {

class ClientTest : public EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (HasFatalFailure())
            return;
        SetIniFolder(Utf8ToWide(ConfigFolder()));
        scratch = MakeTempDir("client");
        setenv("PELLUX_REGISTRY_FILE", (scratch + "/registry.ini").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("PELLUX_REGISTRY_FILE");
        EmulatorTest::TearDown();
    }
    std::string scratch;
};

class FakeCoreTest : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        if (HasFatalFailure())
            return;
        dataDir = Utf8ToWide(scratch + "/data");
        savedMakers = GetDefaultComponentMakers();
        SetDefaultComponentMakers(FakeMakers(log));
        ASSERT_EQ(core.Startup(dataDir, sink.get()), S_OK);
    }
    void TearDown() override {
        core.Shutdown();
        CloseUserDatabase();
        SetDefaultComponentMakers(savedMakers);
        ClientTest::TearDown();
    }

    std::wstring dataDir;
    CoreComponentMakers savedMakers;
    FakeLog log;
    CComPtr<ScriptedBridge> sink = ScriptedBridge::Make();
    CCoreAccess core;
};

class ServiceClientTest : public ClientTest {
protected:
    void SetUp() override {
        ClientTest::SetUp();
        if (HasFatalFailure())
            return;
        // The demo account logged in over plain HTTP, not through the client.
        session = m_emulator.Login("demo", "demo");
        ASSERT_FALSE(session.token.empty());
        CComPtr<IRemoteStorage> real;
        ASSERT_EQ(CreateRemoteStorage(&real), S_OK);
        remote = CComPtr<ForwardingRemoteStorage>(new ForwardingRemoteStorage(real));
        syncCenter->token = Utf8ToWide(session.token);
        syncCenter->userId = Utf8ToWide(session.userId);
        syncCenter->syncRoot = Utf8ToWide(scratch + "/root");
        syncCenter->AddComponent(static_cast<IRemoteStorage*>(remote.get()));
    }
    // After the subclass let go of everything that holds the cache.
    void TearDown() override {
        syncCenter.Release();
        if (cache) {
            cache.Release();
            CloseTestUserCache();
        }
        ClientTest::TearDown();
    }
    // The real local storage on a fresh database in the scratch folder.
    void OpenCache() {
        cache = OpenTestUserCache(scratch);
        ASSERT_TRUE(cache);
        syncCenter->AddComponent(cache.get());
    }

    EmulatorSession session;
    CComPtr<FakeSyncCenter> syncCenter = FakeSyncCenter::Make();
    CComPtr<ForwardingRemoteStorage> remote;
    CComPtr<ILocalStorage> cache;
};

}  // namespace pellux_test
