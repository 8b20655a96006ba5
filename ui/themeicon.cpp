#include "ui/themeicon.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>

static void InitUiResources() {
    Q_INIT_RESOURCE(ui);
}

QIcon ThemeIcon(const QString& name, QStyle::StandardPixmap fallback) {
    static const bool themed = [] {
        const QString breeze = QStringLiteral("breeze");
        // Platforms without a desktop theme (offscreen, bare X) search only the resources.
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
            const QString icons = data + QStringLiteral("/icons");
            if (!paths.contains(icons))
                paths.append(icons);
        }
        QIcon::setThemeSearchPaths(paths);
        // The bare "hicolor" theme has next to no icons of its own.
        if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QStringLiteral("hicolor"))
            QIcon::setFallbackThemeName(breeze);
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
            QIcon::setThemeName(breeze);
        // The program's own icon ships in the library for runs from the build tree.
        InitUiResources();
        return true;
    }();
    (void)themed;
    QIcon icon = QIcon::fromTheme(name);
    const QString bundled = QStringLiteral(":/icons/") + name + QStringLiteral(".svg");
    if (icon.isNull() && QFile::exists(bundled))
        icon = QIcon(bundled);
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(fallback);
    return icon;
}
