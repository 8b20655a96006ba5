#include "ui/mainwindow/webpages.h"

#include <QUrlQuery>

#include "base/settings/inisettings.h"
#include "base/utility/fileversion.h"

namespace {

// Used when the settings name no web site.
const char kDefaultRoot[] = "https://www.orvane.example";

QUrl Under(const QString& root, const QString& path) {
    QString base = root;
    while (base.endsWith('/'))
        base.chop(1);
    return QUrl(base + path);
}

}  // namespace

QString WebServerRoot() {
    std::wstring root;
    IniReadString(root, L"NorleShell", L"WebServerRoot", L"");
    return root.empty() ? QString::fromLatin1(kDefaultRoot) : QString::fromStdWString(root);
}

QUrl FeedbackPage(const QString& root, const QString& token, const QString& version) {
    QUrl url = Under(root, QStringLiteral("/uep/client/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("clienttype"), QStringLiteral("pellux"));
    query.addQueryItem(QStringLiteral("sid"), QString::fromLatin1(QUrl::toPercentEncoding(token)));
    query.addQueryItem(QStringLiteral("ver"), version);
    url.setQuery(query);
    return url;
}

QUrl HomePage(const QString& root) {
    return Under(root, QStringLiteral("/"));
}

QUrl BlogPage(const QString& root) {
    return Under(root, QStringLiteral("/blog/"));
}

QString ProgramVersionText() {
    std::wstring text;
    GetVersionString(text);
    return text.empty() ? QStringLiteral("0.0.0.0") : QString::fromStdWString(text);
}
