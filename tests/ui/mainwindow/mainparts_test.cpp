// The main window's pure parts: placement, the space display and the exit
// prompt's texts.
#include <gtest/gtest.h>

#include "ui/mainwindow/exittext.h"
#include "ui/mainwindow/mainplacement.h"
#include "ui/mainwindow/spacetext.h"

namespace {

TEST(MainPlacement, DefaultSizeFollowsTheScreenAndAStoredOneRoundTripsOntoAScreen) {
    using Rects = std::vector<std::pair<QRect, QRect>>;  // given, placed
    const Rects defaults = {
        {QRect(0, 0, 1025, 700), QRect(12, 0, 1000, 700)},
        {QRect(0, 0, 1024, 740), QRect(62, 70, 900, 600)},
        {QRect(0, 0, 801, 600), QRect(-49, 0, 900, 600)},
        {QRect(0, 0, 800, 580), QRect(80, 87, 640, 406)},
        {QRect(100, 30, 1920, 1050), QRect(560, 205, 1000, 700)},
    };
    for (const auto& c : defaults) {
        SCOPED_TRACE(c.first.width());
        EXPECT_EQ(DefaultPlacement(c.first), c.second);
    }
    QRect rect;
    ASSERT_TRUE(ParsePlacement(FormatPlacement(QRect(-20, 35, 900, 640)), &rect));
    EXPECT_EQ(rect, QRect(-20, 35, 900, 640));
    EXPECT_EQ(FormatPlacement(QRect(1, 2, 3, 4)), L"1|2|3|4");
    for (const wchar_t* bad : {L"", L"1|2|3", L"a|b|c|d", L"1|2|0|5", L"1|2|-3|5"})
        EXPECT_FALSE(ParsePlacement(bad, &rect)) << QString::fromWCharArray(bad).toStdString();
    const std::vector<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const Rects stored = {
        {QRect(100, 100, 1000, 700), QRect(100, 100, 1000, 700)},
        {QRect(5000, 3000, 1000, 700), QRect(920, 380, 1000, 700)},
        {QRect(2900, 900, 1000, 700), QRect(2200, 324, 1000, 700)},
        {QRect(-300, -50, 2500, 1200), QRect(0, 0, 1920, 1080)},
    };
    for (const auto& c : stored) {
        SCOPED_TRACE(FormatPlacement(c.first).size());
        EXPECT_EQ(ClampOntoScreens(c.first, screens), c.second);
    }
}

TEST(SpaceDisplay, TextAndBarNeverPassTheTotal) {
    struct Case {
        uint64_t used, total;
        const char* text;
        int pixels;
    };
    const std::vector<Case> cases = {
        {1, 2097152, "0.00K/2.00M", 0},
        {512, 1024, "0.50K/1.00K", 20},
        {1048576, 4194304, "1.00M/4.00M", 10},
        {5368709120ULL, 10737418240ULL, "5.00G/10.00G", 20},
        {300, 0, "0.29K/0.00K", 0},
        {5000, 1000, "4.88K/0.98K", 40},
        {UINT64_MAX - 1, UINT64_MAX, "17179869184.00G/17179869184.00G", 39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SpaceText(c.used, c.total), QString::fromLatin1(c.text));
        EXPECT_EQ(SpaceBarPixels(c.used, c.total), c.pixels);
    }
}

TEST(ExitPrompt, TextsFollowTheSituation) {
    struct Case {
        int tasks, files;
        bool endOfSession;
        const char16_t *title, *ok, *message;
    };
    const std::vector<Case> cases = {
        {2, 0, false, u"退出提示", u"是的，我要立即退出",
         u"警告：\n\n您还有 2 个任务未完成，如果现在退出，这些任务将会取消！\n\n您确定要现在退出吗？"},
        {3, 4, true, u"关机提示", u"是的，我要立即关机",
         u"警告：\n\n您还有 3 个任务未完成，如果现在退出，这些任务将会取消！\n\n"
         u"您还有 4 个远程打开的文件未关闭，如果现在退出，这些文件保存后将不会自动同步到服务器上！\n\n"
         u"您确定要现在关机吗？"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.title).toStdString());
        const ExitTexts texts = BuildExitTexts(c.tasks, c.files, c.endOfSession, 0);
        EXPECT_EQ(texts.title, QString::fromUtf16(c.title));
        EXPECT_EQ(texts.okText, QString::fromUtf16(c.ok));
        EXPECT_EQ(texts.message, QString::fromUtf16(c.message));
    }
}

}  // namespace
