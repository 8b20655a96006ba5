#pragma once
// The explorer against an in-memory remote space: the real core-access object
// and sync center, logged in through a scripted log-in reply, with the
// memory file system as the facade and a scripted bridge answering prompts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "base/db/dbconfigstore.h"
#include "base/settings/inisettings.h"
#include "core/coreapp/coreaccess.h"
#include "core/eventcenter/ieventcenter.h"
#include "platform/strings.h"
#include "tests/support/fakecomponents.h"
#include "tests/support/scriptedbridge.h"
#include "tests/support/testenvironment.h"
#include "tests/ui/democore.h"
#include "tests/ui/fakeuservalues.h"
#include "tests/ui/recordingmainwindow.h"
#include "tests/ui/middlewindow/explorerwindow/memoryfilesystem.h"
#include "ui/mainwindowpanes.h"
#include "ui/middlewindow/explorerwindow/explorermodel.h"
#include "ui/middlewindow/explorerwindow/explorerwindow.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

namespace pellux_test {

class QuietEventCenter final : public CUnknownImpl<IEventCenter> {
public:
    HRESULT Init(ISyncCenter*) override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT Start() override { return S_OK; }
    HRESULT Stop() override { return S_OK; }
};

using ui_test::RecordingMainWindow;

inline void Settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A screenshot under build/screenshots/ for a person to look at.
inline void SaveShot(QWidget& widget, const std::string& name) {
    Settle();
    ui_test::SaveScreenshot(&widget, QString::fromStdString(name) + ".png");
}

using ui_test::CoreRun;

// The explorer window of a test, the main window it reports to and the
// core it runs on.
class ExplorerHost {
public:
    CExplorerWindow& Open(QSize size = QSize(900, 520)) {
        window = std::make_unique<CExplorerWindow>();
        window->resize(size);
        window->show();
        EXPECT_EQ(window->Init(&main), S_OK);
        return *window;
    }
    // Column 0 of every row, row 0 included.
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> out;
        CExplorerModel* m = window->Model();
        for (int r = 0; r < m->rowCount(); ++r)
            out.push_back(m->data(m->index(r, 0), Qt::DisplayRole).toString().toStdWString());
        return out;
    }
    // The first row of that name; -1 when none.
    int RowOf(const std::wstring& name) const {
        const std::vector<std::wstring> names = Names();
        const auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? -1 : int(it - names.begin());
    }
    void Select(const std::vector<std::wstring>& names) {
        QItemSelectionModel* s = window->Selection();
        s->clearSelection();
        for (const std::wstring& name : names) {
            const QModelIndex index = window->Model()->index(RowOf(name), 0);
            s->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
            s->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        }
    }
    // Types into the open name editor and ends the edit with the key.
    void EndEdit(const QString& text, Qt::Key key) {
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : window->CurrentView()->findChildren<QLineEdit*>()) {
            if (e->isVisible())
                editor = e;
        }
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, key);
        Settle();
    }
    std::vector<std::wstring> Messages() const {
        std::vector<std::wstring> out;
        for (const BridgeCall& c : bridge->Calls()) {
            if (c.operation == "ShowMessage")
                out.push_back(c.texts[0]);
        }
        return out;
    }

    CoreRun run;
    CComPtr<ScriptedBridge> bridge = ScriptedBridge::Make();
    RecordingMainWindow main;
    std::unique_ptr<CExplorerWindow> window;
};

class ExplorerTest : public ::testing::Test, public ExplorerHost {
protected:
    void SetUp() override {
        const std::string scratch = MakeTempDir("ex");
        SetIniFolder(Utf8ToWide(scratch));
        CComPtr<IRemoteStorage> remote = ScriptedRemoteStorage([](XmlNode* reply) {
            reply->AddValue(L"userId", L"u1");
            reply->AddValue(L"token", L"t");
            reply->AddValue(L"email", L"demo@example.com");
            return S_OK;
        });
        CoreComponentMakers makers = FakeMakers(log, remote);
        CComPtr<MemoryFileSystem> files = fs;
        makers.fileSystem = [files](IFileSystem** out) { return Give(files.get(), out); };
        makers.eventCenter = [](IEventCenter** out) { return Give(new QuietEventCenter(), out); };
        run.Start(makers, scratch, bridge.get());
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(GetCoreAccess().BindWithLogin(L"demo", L"demo", 1), S_OK);
    }
    void TearDown() override {
        window.reset();
        run.Stop();
    }

    // The calls of these operations, in the order they came.
    std::vector<std::string> CallsOf(std::initializer_list<std::string> ops) {
        std::vector<std::string> out;
        for (const std::string& c : fs->Calls()) {
            for (const std::string& op : ops) {
                if (c.compare(0, op.size() + 1, op + " ") == 0)
                    out.push_back(c);
            }
        }
        return out;
    }
    std::vector<std::string> CallsOf(const std::string& op) { return CallsOf({op}); }

    FakeLog log;
    CComPtr<MemoryFileSystem> fs{new MemoryFileSystem(log)};
};

}  // namespace pellux_test

#pragma GCC diagnostic pop
