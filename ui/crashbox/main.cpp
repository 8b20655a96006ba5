// Shows the crash description that the crashed program hands over as its only
// argument, then exits; the crashed program waits for this box to close.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString text = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Daxwell Crash Report"), text, QMessageBox::Ok);
    box.exec();
    return 0;
}
