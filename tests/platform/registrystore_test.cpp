#include "platform/registrystore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/platform/childprocess.h"
#include "tests/support/testenvironment.h"

namespace {

std::string FreshStoreFile() {
    return pellux_test::MakeTempDir("reg") + "/Velmoran/registry.ini";
}

std::wstring ReadText(const CRegistryStore& store, const std::wstring& key, const std::wstring& name) {
    RegistryValue v;
    if (!store.QueryValue(key, name, &v))
        return L"<missing>";
    return v.text;
}

}  // namespace

TEST(RegistryStore, DefaultFileFollowsTheOverrideVariable) {
    EXPECT_EQ(CRegistryStore().FilePath(), std::string(getenv("PELLUX_REGISTRY_FILE")));
}

TEST(RegistryStore, ValuesKeepTheirTypesInAFilePrivateToTheUser) {
    CRegistryStore store(FreshStoreFile());
    // UserId comes twice: rewriting with another type replaces the type too.
    const std::vector<std::pair<std::wstring, RegistryValue>> values = {
        {L"UserId", RegistryValue::String(L"42")},
        {L"LoginMode", RegistryValue::Dword(0xFFFFFFFFu)},
        {L"Path", RegistryValue::String(L"%HOME%/x", REG_EXPAND_SZ)},
        {L"Token", RegistryValue::String(L"secret")},
        {L"UserId", RegistryValue::Dword(7)},
    };
    for (const auto& v : values)
        ASSERT_EQ(store.SetValue(L"Software\\Pellux", v.first, v.second), S_OK);
    for (size_t i = 1; i < values.size(); ++i) {
        RegistryValue got;
        ASSERT_TRUE(store.QueryValue(L"Software\\Pellux", values[i].first, &got)) << i;
        EXPECT_EQ(got.type, values[i].second.type) << i;
        EXPECT_EQ(got.text, values[i].second.text) << i;
        EXPECT_EQ(got.number, values[i].second.number) << i;
    }
    struct stat st;
    ASSERT_EQ(stat(store.FilePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(RegistryStore, MissingStoreKeyOrValueIsNotFound) {
    CRegistryStore store(FreshStoreFile());
    EXPECT_FALSE(store.QueryValue(L"Software\\Pellux", L"UserId", nullptr));
    ASSERT_EQ(store.SetValue(L"Software\\Pellux\\7", L"NickName", RegistryValue::String(L"n")), S_OK);
    EXPECT_FALSE(store.QueryValue(L"Software\\Pellux", L"NickName", nullptr));
    EXPECT_FALSE(store.QueryValue(L"Software\\Pellux\\8", L"NickName", nullptr));
    EXPECT_FALSE(store.QueryValue(L"Software\\Pellux\\7", L"Other", nullptr));
}

TEST(RegistryStore, KeyPathsAndValueNamesIgnoreCase) {
    CRegistryStore store(FreshStoreFile());
    ASSERT_EQ(store.SetValue(L"Software\\Pellux", L"UserId", RegistryValue::String(L"42")), S_OK);
    EXPECT_EQ(ReadText(store, L"SOFTWARE\\pellux", L"userid"), L"42");
    // Clearing under another spelling hits the same value, not a second one.
    ASSERT_EQ(store.SetValue(L"software\\PELLUX", L"userid", RegistryValue::String(L"")), S_OK);
    EXPECT_EQ(ReadText(store, L"Software\\Pellux", L"UserId"), L"");
    std::string text = pellux_test::ReadFile(store.FilePath());
    EXPECT_EQ(text.find("userid"), std::string::npos) << text;
    // Non-ASCII names fold too.
    ASSERT_EQ(store.SetValue(L"Software\\Pellux", L"\u00c4nderung", RegistryValue::String(L"v")), S_OK);
    EXPECT_EQ(ReadText(store, L"Software\\Pellux", L"\u00e4nderung"), L"v");
}

TEST(RegistryStore, AnyTextSurvivesTheFileFormat) {
    CRegistryStore store(FreshStoreFile());
    const std::vector<std::wstring> texts = {
        L"line one\nline two\r\n",
        L"  blanks\tkept  ",
        L"100% = [section] ; not a comment %41",
        std::wstring(L"nul\0inside", 10),
        L"\u4e2d\u6587 \U0001F600",
        std::wstring(5000, L'x') + L"end",
        L"",
    };
    for (size_t i = 0; i < texts.size(); ++i) {
        std::wstring name = L"v" + std::to_wstring(i);
        ASSERT_EQ(store.SetValue(L"Software\\Pellux", name, RegistryValue::String(texts[i])), S_OK);
    }
    // Odd key paths and names as well.
    ASSERT_EQ(store.SetValue(L"Software\\Pellux\\[x]=y", L"=;[odd]\n", RegistryValue::String(L"z")), S_OK);
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(ReadText(store, L"Software\\Pellux", L"v" + std::to_wstring(i)), texts[i]) << i;
    EXPECT_EQ(ReadText(store, L"Software\\Pellux\\[x]=y", L"=;[odd]\n"), L"z");
}

TEST(RegistryStore, LinesOfUnknownKindsAreKeptOnRewrite) {
    const std::string path = pellux_test::MakeTempDir("reg") + "/registry.ini";
    ASSERT_TRUE(pellux_test::WriteFile(path, "[Software\\Pellux]\r\nBlob=binary:00ff\r\nUserId=sz:1\r\n"));
    CRegistryStore store(path);
    EXPECT_EQ(ReadText(store, L"Software\\Pellux", L"UserId"), L"1");
    ASSERT_EQ(store.SetValue(L"Software\\Pellux", L"UserId", RegistryValue::String(L"2")), S_OK);
    EXPECT_NE(pellux_test::ReadFile(path).find("Blob=binary:00ff"), std::string::npos);
    EXPECT_EQ(ReadText(store, L"Software\\Pellux", L"UserId"), L"2");
}

TEST(RegistryStore, UnwritableStoreFailsAndChangesNothing) {
    std::string dir = pellux_test::MakeTempDir("regfail");
    // A regular file where the store's folder should be.
    ASSERT_TRUE(pellux_test::WriteFile(dir + "/blocker", "x"));
    CRegistryStore blocked(dir + "/blocker/registry.ini");
    EXPECT_EQ(blocked.SetValue(L"Software\\Pellux", L"A", RegistryValue::String(L"1")), E_FAIL);
    // A store that exists but cannot be read is not overwritten.
    mkdir((dir + "/unreadable").c_str(), 0700);
    CRegistryStore unreadable(dir + "/unreadable");
    EXPECT_EQ(unreadable.SetValue(L"Software\\Pellux", L"A", RegistryValue::String(L"1")), E_FAIL);
    struct stat st;
    ASSERT_EQ(stat((dir + "/unreadable").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(RegistryStore, StoreIsReadEvenWhenItsLockFileCannotBeHad) {
    // As in a read-only folder: no lock file can be created beside the store.
    const std::string path = pellux_test::MakeTempDir("reg") + "/registry.ini";
    ASSERT_TRUE(pellux_test::WriteFile(path, "[Software\\Pellux]\nUserId=sz:42\n"));
    ASSERT_EQ(mkdir((path + ".lock").c_str(), 0700), 0);
    CRegistryStore store(path);
    EXPECT_EQ(ReadText(store, L"Software\\Pellux", L"UserId"), L"42");
    // Writes still need the lock and fail without touching the file.
    EXPECT_EQ(store.SetValue(L"Software\\Pellux", L"UserId", RegistryValue::String(L"7")), E_FAIL);
    EXPECT_EQ(ReadText(store, L"Software\\Pellux", L"UserId"), L"42");
}

TEST(RegistryStore, ConcurrentWritersInSeveralProcessesLoseNothing) {
    CRegistryStore store(FreshStoreFile());
    constexpr int kProcesses = 4;
    constexpr int kValues = 40;
    // Value i of process p: spread over three keys, long enough to make rewrites slow.
    const auto key = [](int i) { return L"Software\\Pellux\\" + std::to_wstring(i % 3); };
    const auto name = [](int p, int i) { return L"p" + std::to_wstring(p) + L"_" + std::to_wstring(i); };
    const auto text = [&](int p, int i) { return name(p, i) + L"=" + std::wstring(300, L'v'); };
    std::vector<std::unique_ptr<pellux_test::ChildProcess>> children;
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(
            std::make_unique<pellux_test::ChildProcess>([&, p](pellux_test::ChildProcess& self) {
                char go;
                if (!self.Receive(&go))
                    return false;
                CRegistryStore mine(store.FilePath());
                for (int i = 0; i < kValues; ++i) {
                    if (mine.SetValue(key(i), name(p, i), RegistryValue::String(text(p, i))) != S_OK)
                        return false;
                }
                return true;
            }));
        ASSERT_TRUE(children.back()->Started());
    }
    for (auto& c : children)
        c->Send('g');  // start them together
    for (auto& c : children)
        EXPECT_EQ(c->Wait(), 0);
    for (int p = 0; p < kProcesses; ++p) {
        for (int i = 0; i < kValues; ++i)
            EXPECT_EQ(ReadText(store, key(i), name(p, i)), text(p, i));
    }
    // No temporary files are left beside the store.
    std::string out;
    std::string folder = store.FilePath().substr(0, store.FilePath().rfind('/'));
    pellux_test::RunCommand("ls -A '" + folder + "'", &out);
    EXPECT_EQ(out, "registry.ini\nregistry.ini.lock\n");
}
