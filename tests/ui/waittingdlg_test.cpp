#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/hresult.h"
#include "tests/ui/fakeuservalues.h"
#include "ui/waittingdlg.h"

namespace {

using namespace std::chrono_literals;

// Runs a job in the box; `whileUp` runs on the GUI thread once the box is up.
// A box still open after a while is stopped so a broken test cannot hang.
int RunInBox(CWaittingDlg& box, CWaittingDlg::Job job, std::function<void()> whileUp = nullptr) {
    if (whileUp)
        QTimer::singleShot(50, &box, whileUp);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the box stayed open";
        if (box.Stop())
            box.QDialog::done(E_FAIL);  // closed even when Stop itself is broken
    });
    watchdog.start(20000);
    return box.Run(std::move(job), nullptr, QString());
}

}  // namespace

TEST(WaitingDialog, TheJobRunsOnAWorkerNeverOnceStoppedBeforeItStartsAndStopsAtItsNextCheckOnCancel) {
    CWaittingDlg box;
    const std::thread::id gui = std::this_thread::get_id();
    std::atomic<bool> release{false}, onWorker{false};
    bool upWhileRunning = false;
    const int result = RunInBox(
        box,
        [&](CWaitJob&) {
            onWorker = std::this_thread::get_id() != gui;
            for (int i = 0; i < 1000 && !release; ++i)
                std::this_thread::sleep_for(5ms);
            return 0x12345;
        },
        [&] {
            upWhileRunning = box.isVisible() && box.IsRunning() && box.size() == QSize(320, 150);
            release = true;
        });
    EXPECT_EQ(result, 0x12345);
    EXPECT_TRUE(onWorker);
    EXPECT_TRUE(upWhileRunning);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.IsRunning());
    // The box is used again for the next job, its go-on flag raised again.
    EXPECT_EQ(RunInBox(box, [](CWaitJob& job) { return job.GoOn() ? 7 : -7; }), 7);

    // Stopped before its job starts, the box closes and the job never runs.
    std::atomic<bool> ran{false};
    QTimer::singleShot(0, &box, [&] { EXPECT_TRUE(box.Stop()); });
    EXPECT_EQ(RunInBox(box,
                       [&](CWaitJob&) {
                           ran = true;
                           return 0;
                       }),
              E_FAIL);
    EXPECT_FALSE(ran);

    // Cancel greys the button and the job stops at its next check.
    std::atomic<int> items{0};
    bool greyed = false;
    const int cancelled = RunInBox(
        box,
        [&](CWaitJob& job) {
            while (job.GoOn() && items < 1000) {
                ++items;
                std::this_thread::sleep_for(5ms);
            }
            return job.GoOn() ? 1 : 2;
        },
        [&] {
            // The box stays up after the click until the job has returned.
            QTest::mouseClick(box.CancelButton(), Qt::LeftButton);
            greyed = !box.CancelButton()->isEnabled();
            EXPECT_TRUE(box.isVisible());
        });
    EXPECT_TRUE(greyed);
    EXPECT_EQ(cancelled, 2);
    EXPECT_LT(items.load(), 1000);
}

TEST(WaitingDialog, ProgressLinesAreCutAfterFiftyCharactersAndShownOnTheGuiThread) {
    struct Case {
        QString line, shown;
    };
    const QString fifty = QString(50, QChar(u'文'));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x81");  // two UTF-16 units
    const std::vector<Case> cases = {
        {fifty, fifty},
        {fifty + "x", fifty + "..."},
        {QString(49, 'a') + emoji, QString(49, 'a') + "..."},
        {QString(48, 'a') + emoji + "b", QString(48, 'a') + emoji + "..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_EQ(CutProgressText(c.line), c.shown);
    }

    CWaittingDlg box;
    std::atomic<bool> release{false};
    QString seen;
    RunInBox(
        box,
        [&](CWaitJob& job) {
            job.SetProgressText(QStringLiteral("正在删除 “") + QString(60, QChar(u'报')) + "”");
            while (!release)
                std::this_thread::sleep_for(5ms);
            return 0;
        },
        [&] {
            EXPECT_TRUE(QTest::qWaitFor([&] { return box.ProgressText().startsWith("正在删除"); }, 5000));
            seen = box.ProgressText();
            // The twelve frames turn in 1.2 seconds and start over.
            const int first = box.Frame();
            EXPECT_TRUE(QTest::qWaitFor([&] { return box.Frame() == (first + 11) % 12; }, 5000));
            EXPECT_TRUE(QTest::qWaitFor([&] { return box.Frame() == first; }, 5000));
            EXPECT_FALSE(ui_test::SaveScreenshot(&box, "ui_waiting_dialog.png").isEmpty());
            release = true;
        });
    EXPECT_EQ(seen.size(), 53);
}

TEST(WaitingDialog, StopGivesUpOnAHungJobAfterFiveSecondsAndLeavesItDetached) {
    auto box = std::make_unique<CWaittingDlg>();
    auto hung = std::make_shared<std::atomic<bool>>(true);
    auto ended = std::make_shared<std::atomic<int>>(-1);
    bool stopped = true;
    std::string log;
    const auto start = std::chrono::steady_clock::now();
    const int result = RunInBox(
        *box,
        [hung, ended](CWaitJob& job) {
            while (*hung)
                std::this_thread::sleep_for(5ms);
            // Touches its shared state after the box has gone.
            job.SetProgressText("after the box");
            *ended = job.GoOn() ? 1 : 0;
            return 0;
        },
        [&] {
            testing::internal::CaptureStderr();
            stopped = box->Stop();
            log = testing::internal::GetCapturedStderr();
        });
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(stopped);
    EXPECT_EQ(result, E_FAIL);
    EXPECT_GE(waited, 4900ms);
    EXPECT_NE(log.find("等待窗口退出超时，TimeOut = 5000"), std::string::npos) << log;
    box.reset();
    *hung = false;
    EXPECT_TRUE(QTest::qWaitFor([&] { return *ended != -1; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(*ended, 0);
}
