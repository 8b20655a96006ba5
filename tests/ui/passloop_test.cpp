// Start-up: switches, the restart loop and one instance per user.
#include "ui/passloop.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <thread>

#include "tests/support/scriptedbridge.h"
#include "tests/support/testenvironment.h"
#include "tests/ui/fakeuservalues.h"
#include "ui/bridgesink.h"
#include "ui/commandline.h"
#include "ui/singleinstance.h"

extern char** environ;

namespace {

TEST(StartupTest, SwitchesMatchWholeArguments) {
    const std::vector<std::wstring> args = {L"/usr/bin/pellux", L"-W", L"-hasupdatex"};
    struct Case {
        std::wstring text;
        bool ignoreCase, found;
    };
    for (const Case& c :
         {Case{L"-w", true, true}, Case{L"-w", false, false}, Case{L"-W", false, true},
          Case{L"-hasupdate", true, false}, Case{L"/usr/bin/pellux", false, true}, Case{L"", true, false}}) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(HasSwitch(args, c.text, c.ignoreCase), c.found);
    }
    EXPECT_FALSE(HasSwitch({}, L"-w", true));
}

struct CountingCore final : ICoreLife {
    HRESULT Startup(const std::wstring&, IMainWindow* sink) override {
        log.push_back("Startup");
        EXPECT_NE(sink, nullptr);
        return S_OK;
    }
    HRESULT UnBind() override {
        log.push_back("UnBind");
        return S_OK;
    }
    HRESULT Shutdown() override {
        log.push_back("Shutdown");
        return S_OK;
    }
    std::vector<std::string> log;
};

// Ends its pass with the next scripted code, inside the event loop or, for
// a cancelled log-in, before it; or quits the event loop past its pass.
class ScriptedWindow final : public IPassWindow {
public:
    ScriptedWindow(int code, bool beforeLoop, bool pastPass)
        : m_code(code), m_beforeLoop(beforeLoop), m_pastPass(pastPass) {}
    IMainWindow* Sink() override { return m_sink.get(); }
    void Create(CPassControl& pass) override {
        if (m_beforeLoop)
            pass.End(m_code);
        else if (m_pastPass)
            QTimer::singleShot(0, [code = m_code] { QCoreApplication::exit(code); });
        else
            QTimer::singleShot(0, [&pass, code = m_code] { pass.End(code); });
    }

private:
    CComPtr<pellux_test::ScriptedBridge> m_sink = pellux_test::ScriptedBridge::Make();
    int m_code;
    bool m_beforeLoop;
    bool m_pastPass;
};

TEST(StartupTest, EachPassGetsAFreshWindowAndCoreUntilACodeOtherThanRestart) {
    struct Case {
        std::string name;
        std::vector<int> codes;
        bool beforeLoop;
        std::vector<std::string> coreLog;
        bool pastPass = false;
    };
    const std::vector<Case> cases = {
        {"log out twice, then quit",
         {kRestartCode, kRestartCode, kQuitCode},
         false,
         {"Startup", "UnBind", "Shutdown", "Startup", "UnBind", "Shutdown", "Startup", "Shutdown"}},
        {"log-in cancelled", {kLoginCancelledCode}, true, {"Startup", "Shutdown"}},
        {"quit past the pass", {kQuitCode}, false, {"Startup", "Shutdown"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui_test::FakeUserValues values;
        CBridgeSink sink(values);
        CountingCore core;
        size_t made = 0;
        const int result = RunPassLoop(L"/tmp/unused", sink, core, [&](ICoreLife&) {
            return std::make_unique<ScriptedWindow>(c.codes.at(made++), c.beforeLoop, c.pastPass);
        });
        EXPECT_EQ(result, c.codes.back());
        EXPECT_EQ(made, c.codes.size());
        EXPECT_EQ(core.log, c.coreLog);
    }
}

// Starts the program; its pid.
pid_t StartProgram(const std::vector<std::string>& args) {
    const std::string program = pellux_test::BinaryDir() + "/ui/main/pellux";
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

// The exit code when the process ended within the time, else -1.
int ExitWithin(pid_t pid, std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

TEST(StartupTest, ALaterStartSignalsTheRunningInstanceUnlessToldOtherwise) {
    CNamedEvent running;
    ASSERT_EQ(CheckSingleInstance({L"pellux"}, running), 1);
    struct Case {
        std::vector<std::string> args;
        bool endsAndSignals;
    };
    for (const Case& c : {Case{{}, true}, Case{{"-W"}, false}, Case{{"-HasUpdate"}, false}}) {
        SCOPED_TRACE(c.args.empty() ? "no switch" : c.args[0]);
        running.Reset();
        const pid_t pid = StartProgram(c.args);
        ASSERT_GT(pid, 0);
        if (c.endsAndSignals) {
            EXPECT_EQ(ExitWithin(pid, std::chrono::seconds(20)), 0);
            EXPECT_TRUE(running.Wait(0));
        } else {
            EXPECT_EQ(ExitWithin(pid, std::chrono::milliseconds(1500)), -1);
            EXPECT_FALSE(running.Wait(0));
            kill(pid, SIGTERM);
            ExitWithin(pid, std::chrono::seconds(10));
        }
    }
}

}  // namespace
