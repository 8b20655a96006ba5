#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>

#include "tests/support/testenvironment.h"

int main(int argc, char** argv) {
    pellux_test::SetUpTestHome();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // For the share dialog's web engine: its sandbox cannot run as root (CI,
    // containers), and it needs no GPU.
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-dev-shm-usage", 0);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
