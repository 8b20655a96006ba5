// Start-up: switches, the restart loop and one instance per user.
#include "ui/passloop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "tests/support/scriptedbridge.h"
#include "tests/support/testenvironment.h"
#include "tests/ui/fakeuservalues.h"
#include "ui/bridgesink.h"
#include "ui/commandline.h"
#include "ui/singleinstance.h"

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
        EXPECT_NE(sink, nullptr);
        return Note("Startup");
    }
    HRESULT UnBind() override { return Note("UnBind"); }
    HRESULT Shutdown() override { return Note("Shutdown"); }
    HRESULT Note(const char* call) {
        log.push_back(call);
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
    bool m_beforeLoop, m_pastPass;
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

TEST(StartupTest, ALaterStartSignalsTheRunningInstanceUnlessToldOtherwise) {
    CNamedEvent running;
    ASSERT_EQ(CheckSingleInstance({L"pellux"}, running), 1);
    struct Case {
        std::string args;
        bool endsAndSignals;
    };
    const std::string program = pellux_test::BinaryDir() + "/ui/main/pellux";
    for (const Case& c : {Case{"", true}, Case{" -W", false}, Case{" -HasUpdate", false}}) {
        SCOPED_TRACE(c.args);
        running.Reset();
        // A program still running at the bound is ended by timeout, which then exits with 124.
        const std::string bound = c.endsAndSignals ? "20" : "1.5";
        EXPECT_EQ(pellux_test::RunCommand("timeout -k 5 " + bound + " " + program + c.args),
                  c.endsAndSignals ? 0 : 124);
        EXPECT_EQ(running.Wait(0), c.endsAndSignals);
    }
}

}  // namespace
