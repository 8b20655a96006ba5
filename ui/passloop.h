#pragma once
// The restart loop: each pass builds a fresh main window and a fresh core,
// runs the event loop and ends with a code; 0x123456 (log out, switch user)
// starts another pass, any other code is the program's exit code.
#include <functional>
#include <memory>
#include <string>

#include "core/coreapp/imainwindow.h"
#include "platform/hresult.h"

class CBridgeSink;

constexpr int kRestartCode = 0x123456;
constexpr int kQuitCode = 1;
constexpr int kLoginCancelledCode = 2;

// The core as a pass sees it; the program's is the core-access object.
class ICoreLife {
public:
    virtual ~ICoreLife() = default;
    virtual HRESULT Startup(const std::wstring& dataDir, IMainWindow* sink) = 0;
    virtual HRESULT UnBind() = 0;
    virtual HRESULT Shutdown() = 0;
};
ICoreLife& ProcessCore();

// One pass's end.
class CPassControl {
public:
    CPassControl(ICoreLife& core, CBridgeSink& sink) : m_core(core), m_sink(sink) {}

    // Ends the pass: questions still waiting are cancelled, the user is logged
    // out when the code restarts, the core is shut down, and the event loop
    // ends with the code; before the loop runs, the pass skips it.
    void End(int code);
    bool Ended() const { return m_ended; }
    int Result() const { return m_result; }
    // Runs the event loop unless the pass has ended; the pass result.
    int Exec();

private:
    ICoreLife& m_core;
    CBridgeSink& m_sink;
    bool m_ended = false;
    bool m_running = false;
    int m_result = 0;
};

// A main window of one pass.
class IPassWindow {
public:
    virtual ~IPassWindow() = default;
    virtual IMainWindow* Sink() = 0;
    // Runs the log-in and shows the window; may end the pass at once.
    virtual void Create(CPassControl& pass) = 0;
};

using PassWindowMaker = std::function<std::unique_ptr<IPassWindow>(ICoreLife& core)>;

// Runs passes until one ends with a code other than kRestartCode; returns it.
int RunPassLoop(const std::wstring& dataDir, CBridgeSink& sink, ICoreLife& core,
                const PassWindowMaker& makeWindow);
