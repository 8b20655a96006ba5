#pragma once
// The push heartbeat: a thread that long-polls the service's push endpoint
// for as long as the user is logged in and hands every reported version pair
// to the event dispatch.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/hresult.h"
#include "platform/workerthread.h"

struct IEventDispatch;
struct IRemoteStorage;

struct HeartbeatTiming {
    // The pause before the first poll and between polls; also the first
    // back-off step after a failed poll.
    uint32_t periodMs = 200;
    // The back-off doubles after each failed poll up to this pause.
    uint32_t maxBackoffMs = 30000;
};

class CHeartbeat {
public:
    explicit CHeartbeat(const HeartbeatTiming& timing = HeartbeatTiming());
    // Stops the thread when it still runs.
    ~CHeartbeat();
    CHeartbeat(const CHeartbeat&) = delete;
    CHeartbeat& operator=(const CHeartbeat&) = delete;

    // The token is not needed: the push request carries only the user id.
    HRESULT Init(const std::wstring& token, const std::wstring& userId, IRemoteStorage* remote,
                 IEventDispatch* dispatch);
    // E_FAIL before Init, while running, and after StopWork: a heartbeat runs once.
    HRESULT StartWork();
    // Aborts a pending poll and waits for the thread; the flag stays set.
    HRESULT StopWork();

private:
    struct State;
    static void WorkThread(const std::shared_ptr<State>& state);

    // Everything the thread touches, so that it never reaches into this object.
    std::shared_ptr<State> m_state;
    CWorkerThread m_thread;
};
