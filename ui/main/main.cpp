// The program: settings, log and crash reports for the per-user folder, one
// instance per user, then passes of main window and core until the user quits.
#include <QApplication>
#include <string>
#include <vector>

#include "base/log/initconfig.h"
#include "base/settings/configfolder.h"
#include "componentwiring.h"
#include "platform/namedevent.h"
#include "ui/bridgesink.h"
#include "ui/commandline.h"
#include "ui/mainwindow/maindlg.h"
#include "ui/coreuservalues.h"
#include "ui/crashreport.h"
#include "ui/passloop.h"
#include "ui/singleinstance.h"

int main(int argc, char** argv) {
    // Qt removes the arguments it knows; the switches are read from a copy.
    const std::vector<std::wstring> args = ArgumentList(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellux"));
    QApplication::setOrganizationName(QStringLiteral("Pellux"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pellux"));
    QApplication::setDesktopFileName(QStringLiteral("pellux"));
    QApplication::setQuitOnLastWindowClosed(false);

    std::wstring folder;
    GetConfigFolder(folder);
    InitConfigAndLog(folder);
    SetupCrashReport(folder);

    CNamedEvent instance;
    if (HasSwitch(args, L"-hasupdate", true)) {
        HoldInstanceEvent(instance);
    } else if (!CheckSingleInstance(args, instance)) {
        return 0;
    }

    InstallComponentMakers();
    CCoreUserValues values;
    CBridgeSink sink(values);
    return RunPassLoop(folder, sink, ProcessCore(),
                       [](ICoreLife&) { return std::unique_ptr<IPassWindow>(new CMainDlg()); });
}
