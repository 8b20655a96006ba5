#pragma once
// The exit prompt's texts: title, confirm button and warning, for a quit, a
// log-off or a shut-down.
#include <QString>
#include <cstdint>

// The end-session flag word that means a log-off; anything else shuts down.
constexpr uint32_t kEndSessionLogoff = 0x80000000u;

struct ExitTexts {
    QString title;
    QString okText;
    QString message;
};

ExitTexts BuildExitTexts(int unfinishedTasks, int openFiles, bool endOfSession, uint32_t endSessionFlags);
