#pragma once
// Icons and type names of the explorer's rows: three fixed entries (the parent
// row, a sharing user, a folder) and one per file extension seen, taken from
// the MIME database and the desktop's icon theme the first time the extension
// shows up.
#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QPixmap>
#include <QString>

struct ExtIconEntry {
    QIcon icon;
    QString typeText;
    // The icon on a 96 x 96 tile, made when the thumbnail view first needs it.
    QPixmap tile;
};

class ExtIconCache {
public:
    ExtIconCache();

    ExtIconEntry& Parent() { return parent_; }
    ExtIconEntry& User() { return user_; }
    ExtIconEntry& Folder() { return folder_; }
    // The entry of the name's last extension, as typed (".GZ" and ".gz" are two).
    ExtIconEntry& ForFileName(const QString& name);
    // Extensions cached so far.
    int ExtensionCount() const { return int(byExtension_.size()); }

    // From the last '.', dot included; empty when the name has none.
    static QString LastExtension(const QString& name);

private:
    QMimeDatabase mime_;
    ExtIconEntry parent_;
    ExtIconEntry user_;
    ExtIconEntry folder_;
    QHash<QString, ExtIconEntry> byExtension_;
};
