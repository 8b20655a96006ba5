#include <gtest/gtest.h>
#include <minizip/zip.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "base/settings/configfolder.h"
#include "base/settings/inisettings.h"
#include "platform/strings.h"
#include "platform/versionnote.h"
#include "tests/support/emulatorfixture.h"
#include "tests/support/testenvironment.h"
#include "update/update/update.h"
#include "update/update/updateprotocol.h"

using namespace pellux_test;

namespace {

// The running program's version and the one on offer.
const ProgramVersion kCurrent{{1, 0, 0, 1}, true};
const ProgramVersion kNewer{{2, 0, 0, 0}, true};

// A copy of /bin/true carrying the given version note.
std::string StampedProgram(const std::string& dir, const ProgramVersion& v) {
    const std::string target = dir + "/stamped";
    EXPECT_TRUE(WriteFile(dir + "/note.bin", BuildVersionNote(v.parts)));
    std::string out;
    EXPECT_EQ(RunCommand(std::string("objcopy --add-section ") + kVersionNoteSection + "='" + dir +
                             "/note.bin' /bin/true '" + target + "'",
                         &out),
              0)
        << out;
    return target;
}

std::string MakeZip(const std::string& path,
                    const std::vector<std::pair<std::string, std::string>>& entries) {
    zipFile zip = zipOpen64(path.c_str(), 0);
    EXPECT_TRUE(zip);
    for (const auto& e : entries) {
        EXPECT_EQ(zipOpenNewFileInZip64(zip, e.first.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                        Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0),
                  ZIP_OK);
        zipWriteInFileInZip(zip, e.second.data(), static_cast<unsigned>(e.second.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    return path;
}

// The file's mode bits; 0 when there is none.
mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

struct Recorder {
    std::vector<std::wstring> messages, balloons, started;
    UpdateHooks Hooks() {
        UpdateHooks h;
        h.showMessage = [this](const std::wstring& text, const std::wstring&) { messages.push_back(text); };
        h.showBalloon = [this](const std::wstring& text, const std::wstring&, uint32_t, uint32_t) {
            balloons.push_back(text);
        };
        h.startProgram = [this](const std::wstring& path, const std::vector<std::wstring>& args) {
            started.push_back(path + L" " + (args.empty() ? L"" : args[0]));
            return true;
        };
        return h;
    }
};

}  // namespace

TEST(UpdateProtocol, RequestReplyAndAddress) {
    EXPECT_EQ(BuildUpdateRequestBody(L"李 a&b", L"1001", L"1.0.0.1"),
              "UserName=%e6%9d%8e%20a%26b&UserId=1001&Version=1%2e0%2e0%2e1");
    struct Case {
        std::string reply, code, path;
    } cases[] = {
        {"Code=OK&Path=http://h/u", "OK", "http://h/u"},
        {"Code=NOUPDATE", "NOUPDATE", ""},
        {"garbage&Code=OK&Path=x", "", ""},  // a pair without '=' ends the parsing
        {"Code=OK&Path=a=b%20c", "OK", "a=b%20c"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        auto pairs = ParseUpdateReply(c.reply);
        EXPECT_EQ(pairs["Code"], c.code);
        EXPECT_EQ(pairs["Path"], c.path);
    }
    EXPECT_EQ(BuildUpdateDownloadAddress(L"http://h\\files"), L"http://h/files/pellux.exe.zip");
    EXPECT_EQ(BuildUpdateDownloadAddress(L"http://h/files\\"), L"http://h/files/pellux.exe.zip");
}

// The background check against the emulator's update service, one offer per case.
TEST(UpdateCheck, StagesOnlyASoundNewerOffer) {
    if (!HaveProgram("objcopy"))
        GTEST_SKIP() << "objcopy is not installed";
    const std::string dir = MakeTempDir("offers");
    const std::string newer = ReadFile(StampedProgram(MakeTempDir("n"), kNewer));
    const std::string same = ReadFile(StampedProgram(MakeTempDir("s"), kCurrent));
    const std::string zipPath = "/update/files/pellux.exe.zip";
    const std::string notKeyValue = "path=/update/check/&result=ok";
    const std::string corrupt = "path=" + zipPath + "&corrupt=1";
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> entries;  // none: no offer
        std::string fault;                                         // scripted before the check
        HRESULT result;
        bool downloads, staged, balloon;
    } cases[] = {
        {"no offer", {}, "", S_FALSE, false, false, false},
        {"newer", {{"pellux", newer}}, "", S_OK, true, true, true},
        {"same version", {{"pellux", same}}, "", S_FALSE, true, true, false},
        {"two entries", {{"a", newer}, {"b", newer}}, "", E_FAIL, true, false, false},
        {"reply not key=value", {{"pellux", newer}}, notKeyValue, S_FALSE, false, false, false},
        {"archive altered on the way", {{"pellux", newer}}, corrupt, E_FAIL, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmulatorOptions options;
        if (!c.entries.empty())
            options.updateOffer = MakeZip(dir + "/" + c.name + ".zip", c.entries);
        Emulator emulator;
        std::string error;
        ASSERT_TRUE(emulator.Start(options, &error)) << error;
        const std::string config = MakeTempDir("config");
        ASSERT_TRUE(WriteFile(config + "/config.ini", ClientConfigIni(emulator.Address())));
        SetIniFolder(Utf8ToWide(config));
        if (!c.fault.empty()) {
            ASSERT_TRUE(emulator.AddFault(c.fault));
        }

        Recorder recorder;
        const std::string staging = MakeTempDir("staging");
        UpdateCheckJob job{recorder.Hooks(), kCurrent, Utf8ToWide(staging + "/pellux.exe.zip"),
                           Utf8ToWide(staging + "/staged")};
        EXPECT_EQ(RunUpdateCheck(job, nullptr), c.result);
        EXPECT_EQ(ModeOf(staging + "/staged") != 0, c.staged);
        if (c.staged) {
            EXPECT_TRUE(ModeOf(staging + "/staged") & S_IXUSR);
            EXPECT_EQ(ReadFile(staging + "/staged"), c.entries[0].second);
        }
        EXPECT_EQ(0u, ModeOf(staging + "/pellux.exe.zip"));
        EXPECT_EQ(emulator.RequestsTo(zipPath).size(), c.downloads ? 1u : 0u);
        ASSERT_EQ(recorder.balloons.size(), c.balloon ? 1u : 0u);
        if (c.balloon) {
            EXPECT_EQ(recorder.balloons[0], L"Orvane便携版已升级到版本 v2.0.0.0, 重启程序后生效");
        }
    }
}

// Installing a staged file at start-up, in temporary folders.
TEST(UpdateSwap, InstallsOrFallsBackToTheDesktop) {
    if (!HaveProgram("objcopy"))
        GTEST_SKIP() << "objcopy is not installed";
    std::wstring config;
    GetConfigFolder(config);
    EXPECT_EQ(CUpdate::StagedProgramPath().rfind(config, 0), 0u);  // never below the working folder
    const std::string staged = WideToUtf8(CUpdate::StagedProgramPath());
    ASSERT_TRUE(WriteFile(staged, ReadFile(StampedProgram(MakeTempDir("n"), kNewer))));
    struct Case {
        const char* name;
        bool programFolderRefuses, desktopTaken;
    } cases[] = {{"swap", false, false}, {"refused", true, false}, {"refused, name taken", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string programDir = MakeTempDir("bin");
        const std::string desktop = MakeTempDir("desktop");
        const std::string program = programDir + "/pellux";
        ASSERT_TRUE(WriteFile(program, "old program"));
        if (c.desktopTaken) {
            ASSERT_TRUE(WriteFile(desktop + "/Orvane便捷版.exe", "someone's file"));
        }
        Recorder recorder;
        UpdateHooks hooks = recorder.Hooks();
        hooks.desktopFolder = Utf8ToWide(desktop);
        if (c.programFolderRefuses) {
            // Root ignores permission bits, so the refusal of a read-only folder is injected.
            hooks.copyFile = [programDir](const std::string& from, const std::string& to) {
                return to.compare(0, programDir.size(), programDir) != 0 && CopyProgramFile(from, to);
            };
        }
        CUpdate update(hooks, Utf8ToWide(program), kCurrent);
        EXPECT_EQ(update.CheckAndApplyUpdate(), 1);
        ASSERT_EQ(recorder.messages.size(), 1u);
        ASSERT_EQ(recorder.started.size(), 1u);
        EXPECT_EQ(0u, ModeOf(program + "_"));
        if (!c.programFolderRefuses) {
            EXPECT_EQ(ReadFile(program), ReadFile(staged));
            EXPECT_TRUE(ModeOf(program) & S_IXUSR);
            EXPECT_EQ(recorder.messages[0], L"恭喜您，Tessal已经升级到最新版本：2.0.0.0\n");
            EXPECT_EQ(recorder.started[0], Utf8ToWide(program) + L" -hasupdate");
            continue;
        }
        EXPECT_EQ(ReadFile(program), "old program");  // never left empty
        const std::string name = c.desktopTaken ? "Orvane便捷版2.0.0.0.exe" : "Orvane便捷版.exe";
        EXPECT_EQ(ReadFile(desktop + "/" + name), ReadFile(staged));
        EXPECT_TRUE(ModeOf(desktop + "/" + name) & S_IXUSR);
        EXPECT_EQ(recorder.messages[0],
                  L"已经升级到最新版本：2.0.0.0，拷到了桌面上，文件名为：" + Utf8ToWide(name));
        EXPECT_EQ(recorder.started[0], Utf8ToWide(desktop + "/" + name) + L" -hasupdate");
    }
    // A left-over file from an earlier swap goes at the next start.
    const std::string program = MakeTempDir("bin") + "/pellux";
    ASSERT_TRUE(WriteFile(program + "_", "x"));
    EXPECT_TRUE(DeleteOldProgramFile(Utf8ToWide(program)));
    EXPECT_FALSE(DeleteOldProgramFile(Utf8ToWide(program)));
    // A copy that cannot take its place leaves no partial file behind.
    const std::string dir = MakeTempDir("copy");
    ASSERT_EQ(mkdir((dir + "/taken").c_str(), 0700), 0);
    ASSERT_TRUE(WriteFile(dir + "/taken/x", "x"));
    const std::set<std::string> openFiles = ListFolder("/proc/self/fd");
    EXPECT_FALSE(CopyProgramFile(staged, dir + "/taken"));
    EXPECT_FALSE(CopyProgramFile(staged, dir + "/missing/x"));
    EXPECT_EQ(ListFolder("/proc/self/fd"), openFiles);
    EXPECT_EQ(ListFolder(dir), std::set<std::string>{"taken"});
}
