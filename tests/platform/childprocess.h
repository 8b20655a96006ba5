#pragma once
// Runs a function in a forked child process; the child's exit status tells
// the parent whether the function succeeded. Pipes let the two take turns.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace pellux_test {

class ChildProcess {
public:
    // The body returns true for success (exit status 0).
    explicit ChildProcess(const std::function<bool(ChildProcess&)>& body) {
        if (pipe(m_toParent) != 0 || pipe(m_toChild) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(m_toParent[0]);
            close(m_toChild[1]);
            m_inChild = true;
            bool ok = body(*this);
            _exit(ok ? 0 : 1);
        }
        close(m_toParent[1]);
        close(m_toChild[0]);
    }
    ~ChildProcess() {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGKILL);
            Wait();
        }
    }

    bool Started() const { return m_pid > 0; }
    // One byte from the other side; false when the pipe closed.
    bool Send(char c) { return write(m_inChild ? m_toParent[1] : m_toChild[1], &c, 1) == 1; }
    bool Receive(char* c) { return read(m_inChild ? m_toChild[0] : m_toParent[0], c, 1) == 1; }

    void Kill() { kill(m_pid, SIGKILL); }
    // The exit status, or -1 when the child did not exit normally.
    int Wait() {
        int status = 0;
        if (waitpid(m_pid, &status, 0) != m_pid)
            return -1;
        m_reaped = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    bool m_inChild = false;
    bool m_reaped = false;
    int m_toParent[2] = {-1, -1};
    int m_toChild[2] = {-1, -1};
};

}  // namespace pellux_test
