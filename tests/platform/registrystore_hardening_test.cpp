// The settings files as a damaged machine leaves them: lines the reader cannot
// use survive a write byte for byte, a lock another process never releases
// does not hold up reads, and a change on disk is seen at the next read.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "platform/atomicfile.h"
#include "platform/filelock.h"
#include "platform/profile.h"
#include "platform/registrystore.h"
#include "platform/strings.h"
#include "tests/support/testenvironment.h"

namespace {

std::string Describe(const CRegistryStore& store, const std::wstring& key, const std::wstring& name) {
    RegistryValue v;
    if (!store.QueryValue(key, name, &v))
        return "missing";
    return std::to_string(v.type) + ":" + WideToUtf8(v.text) + ":" + std::to_string(v.number);
}

TEST(RegistryStoreHardening, UnusableLinesSurviveAnUnrelatedWriteByteForByte) {
    struct Case {
        const char* what;
        std::string text;
        std::string unusable;                                       // the line, CRs included
        std::vector<std::pair<std::wstring, std::wstring>> probes;  // key, name
    };
    const std::vector<Case> cases = {
        {"a bad dword that would become good", "[K]\nx=dword:1\r\r\n", "x=dword:1\r\r\n", {{L"K", L"x"}}},
        {"a value line that would become a key",
         "[A]\n[B]\r\r\ny=sz:1\n",
         "[B]\r\r\n",
         {{L"A", L"y"}, {L"B", L"y"}}},
        {"a loose line before any key", "z=dword:2\r\r\n[C]\nz=sz:c\n", "z=dword:2\r\r\n", {{L"C", L"z"}}},
        {"an unknown line at the end without a line end", "[D]\nw=sz:1\nodd\r\r", "odd\r\r", {{L"D", L"w"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = pellux_test::MakeTempDir("reg") + "/registry.ini";
        ASSERT_TRUE(pellux_test::WriteFile(path, c.text));
        CRegistryStore store(path);
        std::vector<std::string> before;
        for (const auto& probe : c.probes)
            before.push_back(Describe(store, probe.first, probe.second));
        ASSERT_EQ(S_OK, store.SetValue(L"Other", L"v", RegistryValue::Dword(1)));
        ASSERT_EQ(S_OK, store.SetValue(L"Other", L"v", RegistryValue::Dword(2)));
        for (size_t i = 0; i < c.probes.size(); ++i)
            EXPECT_EQ(before[i], Describe(store, c.probes[i].first, c.probes[i].second));
        EXPECT_NE(std::string::npos, pellux_test::ReadFile(path).find(c.unusable));
    }
}

TEST(RegistryStoreHardening, AReadDoesNotWaitForeverForAHeldLock) {
    const std::string path = pellux_test::MakeTempDir("reg") + "/registry.ini";
    CRegistryStore store(path);
    ASSERT_EQ(S_OK,
              store.SetValue(L"Software\\Pellux", L"ProxyServerIP", RegistryValue::String(L"10.0.0.1")));
    CFileLock holder;
    ASSERT_TRUE(holder.Open(path + ".lock"));
    ASSERT_TRUE(holder.Lock(true));
    // A file replaced behind the holder's back: the cached copy must not do.
    ASSERT_TRUE(ReplaceWholeFile(path, "[Software\\Pellux]\nProxyServerIP=sz:10.0.0.2\n", 0600));
    auto read = std::async(std::launch::async,
                           [&store] { return Describe(store, L"Software\\Pellux", L"ProxyServerIP"); });
    const bool finished = read.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    holder.Unlock();
    EXPECT_TRUE(finished);
    EXPECT_EQ("1:10.0.0.2:0", read.get());
}

TEST(SettingsFiles, AChangeOnDiskIsSeenAtTheNextRead) {
    const std::string folder = pellux_test::MakeTempDir("settings");
    const std::string ini = folder + "/config.ini";
    const std::string registry = folder + "/registry.ini";
    CRegistryStore store(registry);
    // Same sizes each time, written in place and by rename, as editors do.
    for (const char* value : {"1111", "2222", "3333"}) {
        SCOPED_TRACE(value);
        const std::string iniText = std::string("[Pellux]\nUploadSpeed=") + value + "\n";
        const std::string regText = std::string("[K]\nv=sz:") + value + "\n";
        if (value[0] == '2') {
            ASSERT_TRUE(pellux_test::WriteFile(ini, iniText));
            ASSERT_TRUE(pellux_test::WriteFile(registry, regText));
        } else {
            ASSERT_TRUE(ReplaceWholeFile(ini, iniText, 0644));
            ASSERT_TRUE(ReplaceWholeFile(registry, regText, 0600));
        }
        EXPECT_EQ(Utf8ToWide(value), GetProfileString(ini, L"Pellux", L"UploadSpeed", L""));
        EXPECT_EQ(std::string("1:") + value + ":0", Describe(store, L"K", L"v"));
    }
}

TEST(SettingsFiles, AValueWrittenReadsBackUnderTheSameNames) {
    const std::vector<std::pair<std::wstring, std::wstring>> names = {
        {L"Pellux", L"k"}, {L" Pellux ", L" k "}, {L"\v", L"k"}, {L"\t[x", L"k\t"}};
    for (const auto& name : names) {
        SCOPED_TRACE(WideToUtf8(name.first + L"/" + name.second));
        const std::string ini = pellux_test::MakeTempDir("ini") + "/config.ini";
        ASSERT_TRUE(pellux_test::WriteFile(ini, "[other]\nk=1\n"));
        ASSERT_TRUE(WriteProfileString(ini, name.first, name.second, L"v"));
        EXPECT_EQ(L"v", GetProfileString(ini, name.first, name.second, L"missing"));
        EXPECT_EQ(L"1", GetProfileString(ini, L"other", L"k", L"missing"));
    }
}

}  // namespace
