#pragma once
// An event that processes share by name (the single-instance event
// "Velmoran_Pellux_Process_Instance_Mutex"). It exists while any process holds
// a handle to it: every handle keeps a shared flock on the event's file, which
// the kernel drops when the process dies. The signalled state lives in the file.
#include <cstdint>
#include <string>

#include "platform/event.h"
#include "platform/filelock.h"

class CNamedEvent {
public:
    CNamedEvent() = default;
    ~CNamedEvent() { Close(); }
    CNamedEvent(const CNamedEvent&) = delete;
    CNamedEvent& operator=(const CNamedEvent&) = delete;

    // Creates the event, or opens it when some handle already holds it; then
    // *alreadyExisted is true and the existing state and reset mode are kept.
    bool Create(const std::string& name, bool manualReset, bool initialState, bool* alreadyExisted = nullptr);
    // Opens an existing event; false when no handle to it is open anywhere.
    bool Open(const std::string& name);
    bool IsOpen() const { return m_handle.IsOpen(); }
    void Close();

    bool Set();
    bool Reset();
    // True when signalled within timeoutMs; an auto-reset event is reset by
    // the wait that sees it. The state is polled every 10 ms.
    bool Wait(uint32_t timeoutMs);

private:
    bool Attach(const std::string& name, bool create, bool manualReset, bool initialState, bool* existed);
    bool WriteState(char state);
    // Tests the state under the guard lock; resets an auto-reset event it finds set.
    bool TestAndConsume();

    std::string m_guardPath;
    CFileLock m_handle;
};
