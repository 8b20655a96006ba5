#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <thread>

#include "tests/ui/faketraybackend.h"
#include "ui/systemtray.h"

using ui_test::FakeTrayBackend;
using ui_test::TrayLog;

TEST(SystemTray, MenuClicksReachTheOwnerAndBalloonsFromWorkersAreShownOnTheGuiThread) {
    TrayLog log;
    QWidget owner;
    CSystemTray tray(std::make_unique<FakeTrayBackend>(log));
    ASSERT_TRUE(tray.Create(&owner, CSystemTray::kMenuId));
    EXPECT_FALSE(tray.Create(&owner, CSystemTray::kMenuId));
    EXPECT_TRUE(log.shown);
    ASSERT_EQ(log.menu, tray.Menu());

    struct Item {
        QString text;
        int id;
        bool enabled;
    };
    const std::vector<Item> expected = {
        {"打开(&O)", 32803, true},
        {"设置(暂未开放)(&S)", 32804, false},
        {"", 0, true},
        {"反馈(&F)", 32811, true},
        {"关于(&A)", 32805, true},
        {"退出(&Q)", 32806, true},
    };
    const QList<QAction*> actions = tray.Menu()->actions();
    ASSERT_EQ(actions.size(), int(expected.size()));
    QSignalSpy commands(&tray, &CSystemTray::command);
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actions[i]->text(), expected[i].text);
        EXPECT_EQ(actions[i]->isSeparator(), expected[i].id == 0);
        EXPECT_EQ(actions[i]->isEnabled(), expected[i].enabled);
        EXPECT_EQ(actions[i]->font().bold(), i == 0);
        actions[i]->trigger();
    }
    EXPECT_EQ(tray.Menu()->defaultAction(), actions[0]);
    ASSERT_EQ(commands.count(), 4);  // the greyed item and the separator send nothing
    EXPECT_EQ(commands[0][0].toInt(), 32803);
    EXPECT_EQ(commands[3][0].toInt(), 32806);

    QSignalSpy notes(&tray, &CSystemTray::notify);
    log.mouse(ITrayBackend::kLButtonDown);
    ASSERT_EQ(notes.count(), 1);
    EXPECT_EQ(notes[0][0].toInt(), CSystemTray::kTrayId);
    EXPECT_EQ(notes[0][1].toInt(), 513);

    bool accepted = false;
    std::thread worker([&] {
        accepted = tray.ShowBalloon("上传完成", "Orvane便携版", 1, 5000);
        tray.SetTip("Orvane便携版 v1.0\n快速备份您的文档");
    });
    worker.join();
    EXPECT_TRUE(accepted);
    EXPECT_EQ(log.balloons, 0);  // queued, not yet shown
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.balloons == 1; }, 1000));
    EXPECT_EQ(log.text, "上传完成");
    EXPECT_EQ(log.tip, "Orvane便携版 v1.0\n快速备份您的文档");
    EXPECT_FALSE(log.offGuiThread);

    tray.Remove();
    EXPECT_FALSE(log.shown);
    EXPECT_EQ(log.menu, nullptr);
    EXPECT_EQ(tray.Menu(), nullptr);
}

TEST(SystemTray, TipTitleAndTextAreCutToTheirFields) {
    struct Case {
        int tip, title, text;
        int shownTip, shownTitle, shownText;
    };
    const std::vector<Case> cases = {
        {127, 63, 128, 127, 63, 128},
        {128, 64, 129, 127, 63, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TrayLog log;
        CSystemTray tray(std::make_unique<FakeTrayBackend>(log));
        EXPECT_FALSE(tray.ShowBalloon("x", "y", 1, 100));  // no icon yet
        tray.Create(nullptr);
        tray.SetTip(QString(c.tip, QChar(u'备')));
        EXPECT_TRUE(tray.ShowBalloon(QString(c.text, QChar(u'份')), QString(c.title, 'T'), 1, 30000));
        EXPECT_EQ(log.tip, QString(c.shownTip, QChar(u'备')));
        EXPECT_EQ(log.title, QString(c.shownTitle, 'T'));
        EXPECT_EQ(log.text, QString(c.shownText, QChar(u'份')));
        EXPECT_EQ(log.flags, 1);
        EXPECT_EQ(log.timeout, 30000);
        EXPECT_EQ(tray.Record().infoText, log.text);
    }
}
