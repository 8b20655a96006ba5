#include "ui/mainwindow/exittext.h"

ExitTexts BuildExitTexts(int unfinishedTasks, int openFiles, bool endOfSession, uint32_t endSessionFlags) {
    ExitTexts texts;
    if (!endOfSession) {
        texts.title = QStringLiteral("退出提示");
        texts.okText = QStringLiteral("是的，我要立即退出");
    } else if (endSessionFlags == kEndSessionLogoff) {
        texts.title = QStringLiteral("注销提示");
        texts.okText = QStringLiteral("是的，我要立即注销");
    } else {
        texts.title = QStringLiteral("关机提示");
        texts.okText = QStringLiteral("是的，我要立即关机");
    }
    texts.message = QStringLiteral("警告：\n\n");
    if (unfinishedTasks > 0)
        texts.message += QStringLiteral("您还有 %1 个任务未完成，如果现在退出，这些任务将会取消！\n\n")
                             .arg(unfinishedTasks);
    if (openFiles > 0)
        texts.message +=
            QStringLiteral(
                "您还有 %1 "
                "个远程打开的文件未关闭，如果现在退出，这些文件保存后将不会自动同步到服务器上！\n\n")
                .arg(openFiles);
    texts.message += QStringLiteral("您确定要现在%1吗？")
                         .arg(endOfSession ? QStringLiteral("关机") : QStringLiteral("退出"));
    return texts;
}
