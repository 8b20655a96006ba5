#include <gtest/gtest.h>

#include "base/settings/configfolder.h"
#include "base/settings/inipathholder.h"
#include "base/settings/inisettings.h"
#include "base/settings/regsettings.h"
#include "platform/registrystore.h"
#include "tests/base/basetestutil.h"
#include "tests/support/testenvironment.h"

TEST(IniSettings, ReadsConfigIniOfTheFolder) {
    std::string folder = pellux_test::MakeTempDir("cfg");
    ASSERT_TRUE(pellux_test::WriteFile(
        folder + "/config.ini",
        "[Pellux]\nLogLevel=4\nLogSaveDate=-1\nServer=\"https://h/x\"\n[Debug]\nOn=1\n"));
    EXPECT_EQ(SetIniFolder(W(folder + "/")), 0);
    EXPECT_EQ(IniPathHolder::Instance().Path(), W(folder + "/config.ini"));
    std::wstring out;
    EXPECT_EQ(IniReadString(out, L"Pellux", L"Server", L""), L"https://h/x");
    EXPECT_EQ(IniReadString(out, L"pellux", L"Missing", L"dflt"), L"dflt");
    EXPECT_EQ(IniReadInt(L"Pellux", L"LogLevel", 10), 4);
    EXPECT_EQ(IniReadInt(L"Pellux", L"LogSaveDate", 3), -1);
    EXPECT_EQ(IniReadInt(L"Pellux", L"CrashReport", 1), 1);
    EXPECT_EQ(IniReadInt(L"Debug", L"On", 0), 1);

    SetIniFolder(W(folder + "/nothing-here"));
    EXPECT_EQ(IniReadInt(L"Pellux", L"LogLevel", 10), 10);
}

TEST(RegSettings, TypesSubkeysAndSpellingsOfStoredValues) {
    ASSERT_EQ(RegWriteDword(L"", L"AsNumber", 5), S_OK);
    ASSERT_EQ(RegWriteString(L"", L"AsText", L"5"), S_OK);
    std::wstring out;
    EXPECT_EQ(RegReadString(out, L"", L"AsNumber", L"dflt"), L"dflt");
    EXPECT_EQ(ReadRegDword(L"", L"AsText", 9), 9u);
    EXPECT_EQ(RegReadString(out, L"", L"AsText", L"dflt"), L"5");
    EXPECT_EQ(ReadRegDword(L"", L"AsNumber", 9), 5u);
    EXPECT_EQ(ReadRegDword(L"", L"Missing", 1), 1u);
    EXPECT_EQ(RegReadString(out, L"NoSuchUser", L"AsText", L"d"), L"d");
    // Expandable strings read unexpanded.
    CRegistryStore store;
    ASSERT_EQ(
        store.SetValue(L"Software\\Pellux", L"Expand", RegistryValue::String(L"%HOME%/x", REG_EXPAND_SZ)),
        S_OK);
    EXPECT_EQ(RegReadString(out, L"", L"Expand", L"d"), L"%HOME%/x");

    // The empty subkey is the main key; subkeys are separate.
    ASSERT_EQ(RegWriteString(L"", L"UserId", L"42"), S_OK);
    ASSERT_EQ(RegWriteString(L"42", L"UserName", L"a@b"), S_OK);
    RegistryValue v;
    ASSERT_TRUE(store.QueryValue(L"Software\\Pellux", L"UserId", &v));
    EXPECT_EQ(v.text, L"42");
    ASSERT_TRUE(store.QueryValue(L"Software\\Pellux\\42", L"UserName", &v));
    EXPECT_EQ(v.text, L"a@b");
    EXPECT_EQ(RegReadString(out, L"", L"UserName", L"none"), L"none");
    // Cleared under another spelling, as the log-out does.
    ASSERT_EQ(RegWriteString(L"", L"userid", L""), S_OK);
    EXPECT_EQ(RegReadString(out, L"", L"UserId", L"d"), L"");
}

TEST(ConfigFolder, ConfigPathWinsUnchangedElseTheDataFolder) {
    std::wstring out;
    ASSERT_EQ(RegWriteString(L"", L"ConfigPath", L""), S_OK);
    EXPECT_EQ(GetConfigFolder(out), 0);
    EXPECT_EQ(out, W(pellux_test::TestHome() + "/.local/share/Velmoran/pellux/"));
    ASSERT_EQ(RegWriteString(L"", L"ConfigPath", L"/srv/pellux"), S_OK);
    GetConfigFolder(out);
    EXPECT_EQ(out, L"/srv/pellux");
    ASSERT_EQ(RegWriteString(L"", L"ConfigPath", L""), S_OK);
}
