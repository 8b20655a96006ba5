#pragma once
// Per-user values kept in a map, read the way the core reads them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>
#include <QTimer>
#include <cwchar>
#include <functional>
#include <map>
#include <string>

#include "tests/support/testenvironment.h"
#include "ui/iuservalues.h"

namespace ui_test {

class FakeUserValues : public IUserValues {
public:
    std::wstring GetUserValue(const std::wstring& name, const std::wstring& defaultText) override {
        auto it = values.find(name);
        return it == values.end() ? defaultText : it->second;
    }
    int GetUserIntValue(const std::wstring& name) override {
        return static_cast<int>(std::wcstol(GetUserValue(name, L"").c_str(), nullptr, 10));
    }
    void SetUserValue(const std::wstring& name, const std::wstring& text) override { values[name] = text; }

    std::map<std::wstring, std::wstring> values;
};

// Runs `act` on the first modal window that comes up while `run` runs; one
// still up after five seconds is rejected so a broken test fails instead of
// hanging. True when one came up.
inline bool WithModal(const std::function<void()>& run, const std::function<void(QWidget*)>& act) {
    bool seen = false;
    QTimer poll, watchdog;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll.stop();
            seen = true;
            act(modal);
        }
    });
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "a dialog stayed open";
            modal->reject();
        }
    });
    poll.start(10);
    watchdog.start(5000);
    run();
    return seen;
}

// Saves the widget's picture under the build folder's screenshots; the path, or empty on failure.
inline QString SaveScreenshot(QWidget* widget, const QString& name) {
    const QString folder = QString::fromStdString(pellux_test::BinaryDir()) + "/screenshots";
    if (!QDir().mkpath(folder))
        return QString();
    const QString path = folder + "/" + name;
    return widget->grab().toImage().save(path) ? path : QString();
}

}  // namespace ui_test
