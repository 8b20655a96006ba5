#include "ui/mainwindow/spacetext.h"

QString FormatSpaceSize(uint64_t bytes) {
    if (bytes < 1048576ULL)
        return QString::asprintf("%.2fK", double(bytes) / 1024.0);
    if (bytes < 1073741824ULL)
        return QString::asprintf("%.2fM", double(bytes) / 1048576.0);
    return QString::asprintf("%.2fG", double(bytes) / 1073741824.0);
}

QString SpaceText(uint64_t used, uint64_t total) {
    return FormatSpaceSize(used) + QLatin1Char('/') + FormatSpaceSize(total);
}

int SpaceBarPixels(uint64_t used, uint64_t total) {
    if (total == 0)
        return 0;
    if (used >= total)
        return kSpaceBarWidth;
    return static_cast<int>(static_cast<unsigned __int128>(used) * kSpaceBarWidth / total);
}
