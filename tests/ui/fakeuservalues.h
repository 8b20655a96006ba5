#pragma once
// Per-user values kept in a map, read the way the core reads them.
#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>
#include <cwchar>
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

// Saves the widget's picture under the build folder's screenshots; the path, or empty on failure.
inline QString SaveScreenshot(QWidget* widget, const QString& name) {
    const QString folder = QString::fromStdString(pellux_test::BinaryDir()) + "/screenshots";
    if (!QDir().mkpath(folder))
        return QString();
    const QString path = folder + "/" + name;
    return widget->grab().toImage().save(path) ? path : QString();
}

}  // namespace ui_test
