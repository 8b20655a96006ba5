#pragma once
// Where change notifications are delivered. The watcher's thread never runs a
// handler itself unless the executor says so: the UI passes one that queues to
// the GUI thread, tools and tests may run them at once.
#include <functional>

class IExecutor {
public:
    virtual ~IExecutor() = default;
    virtual void Post(std::function<void()> task) = 0;
};

// Runs each task on the posting thread (for the watcher: its own thread).
class CInlineExecutor : public IExecutor {
public:
    void Post(std::function<void()> task) override {
        if (task)
            task();
    }
};
