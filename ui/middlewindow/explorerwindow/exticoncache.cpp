#include "ui/middlewindow/explorerwindow/exticoncache.h"

#include "ui/themeicon.h"

ExtIconCache::ExtIconCache() {
    parent_.icon = ThemeIcon(QStringLiteral("go-parent-folder"), QStyle::SP_FileDialogToParent);
    parent_.typeText = QStringLiteral("上层目录");
    user_.icon = ThemeIcon(QStringLiteral("user-identity"), QStyle::SP_DirHomeIcon);
    user_.typeText = QStringLiteral("用户");
    folder_.icon = ThemeIcon(QStringLiteral("folder"), QStyle::SP_DirIcon);
    folder_.typeText = mime_.mimeTypeForName(QStringLiteral("inode/directory")).comment();
}

QString ExtIconCache::LastExtension(const QString& name) {
    const int dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

ExtIconEntry& ExtIconCache::ForFileName(const QString& name) {
    const QString ext = LastExtension(name);
    auto it = byExtension_.find(ext);
    if (it != byExtension_.end())
        return *it;
    // Only the extension decides, never the content: the file is remote.
    const QMimeType type = mime_.mimeTypeForFile(QStringLiteral("x") + ext, QMimeDatabase::MatchExtension);
    ExtIconEntry entry;
    entry.typeText = type.comment();
    entry.icon = QIcon::fromTheme(type.iconName());
    if (entry.icon.isNull())
        entry.icon = ThemeIcon(type.genericIconName(), QStyle::SP_FileIcon);
    return *byExtension_.insert(ext, entry);
}
