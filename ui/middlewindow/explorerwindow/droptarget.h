#pragma once
// The plain drop target of a whole window: whatever is dropped on it is
// handed to the window as the program's own drag records or as local file
// paths. It answers Copy (or Link when the source allows no copy), never
// Move. A window gets one by deriving from IDropTargetImpl and overriding
// what it wants; the defaults do nothing.
#include <QObject>
#include <string>
#include <vector>

class QWidget;

class IDropTargetEvent {
public:
    virtual ~IDropTargetEvent() = default;
    // The program's own drag records ("kind|type|name|fileId|parentId|path|:" ...).
    virtual int OnDropText(const std::wstring& text) {
        (void)text;
        return 0;
    }
    // The local files dropped, in the source's order.
    virtual int OnDropFiles(const std::vector<std::wstring>& paths) {
        (void)paths;
        return 0;
    }
};

class CDropTarget : public QObject {
    Q_OBJECT
public:
    explicit CDropTarget(IDropTargetEvent* sink = nullptr) : sink_(sink) {}
    void SetSink(IDropTargetEvent* sink) { sink_ = sink; }
    // Takes the drops of the window until Revoke.
    void Register(QWidget* window);
    void Revoke();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    IDropTargetEvent* sink_;
    QWidget* window_ = nullptr;
};

class IDropTargetImpl : public IDropTargetEvent {
public:
    IDropTargetImpl() { dropTarget_.SetSink(this); }
    CDropTarget& WindowDropTarget() { return dropTarget_; }

private:
    CDropTarget dropTarget_;
};
