#include "ui/passloop.h"

#include <QCoreApplication>

#include "core/coreapp/coreaccess.h"
#include "ui/bridgesink.h"

namespace {

class CProcessCore final : public ICoreLife {
public:
    HRESULT Startup(const std::wstring& dataDir, IMainWindow* sink) override {
        return GetCoreAccess().Startup(dataDir, sink);
    }
    HRESULT UnBind() override { return GetCoreAccess().UnBind(); }
    HRESULT Shutdown() override { return GetCoreAccess().Shutdown(); }
};

}  // namespace

ICoreLife& ProcessCore() {
    static CProcessCore core;
    return core;
}

void CPassControl::End(int code) {
    if (m_ended)
        return;
    m_ended = true;
    m_result = code;
    // Workers waiting for an answer must let go before the core waits for them.
    m_sink.Abort();
    if (code == kRestartCode)
        m_core.UnBind();
    m_core.Shutdown();
    if (m_running)
        QCoreApplication::exit(code);
}

int CPassControl::Exec() {
    if (m_ended)
        return m_result;
    m_running = true;
    const int code = QCoreApplication::exec();
    m_running = false;
    return m_ended ? m_result : code;
}

int RunPassLoop(const std::wstring& dataDir, CBridgeSink& sink, ICoreLife& core,
                const PassWindowMaker& makeWindow) {
    int result = 0;
    do {
        CPassControl pass(core, sink);
        std::unique_ptr<IPassWindow> window = makeWindow(core);
        sink.SetWindow(window->Sink());
        // A core that does not start shows itself in the log-in dialog.
        core.Startup(dataDir, &sink);
        window->Create(pass);
        result = pass.Exec();
        // A pass that ended without its window closing it still leaves no core behind.
        if (!pass.Ended())
            pass.End(result);
        sink.SetWindow(nullptr);
        window.reset();
    } while (result == kRestartCode);
    return result;
}
