#include "ui/ie/iewindowbase/sharesettings.h"

#include <QUrlQuery>

namespace {

const char* const kMethods[] = {"GetUserInfo", "CloseWizard"};

}  // namespace

QUrl ShareSettingsAddress(const QString& webServerRoot, const QString& fileId) {
    QUrl url(webServerRoot + QStringLiteral("/xweb/sharefile2/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("fileId"), QString::fromLatin1(QUrl::toPercentEncoding(fileId)));
    query.addQueryItem(QStringLiteral("v"), QStringLiteral("2"));
    url.setQuery(query);
    return url;
}

QString ScriptStringLiteral(const QString& text) {
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        const ushort u = c.unicode();
        switch (u) {
            case '"':
                out += QStringLiteral("\\\"");
                break;
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            default:
                // Controls, the line separators and '<' (no "</script>") as escapes.
                if (u < 0x20 || u == 0x2028 || u == 0x2029 || u == '<' || u == '>' || u == '\'')
                    out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
                else
                    out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString UserInfoText(const QString& userName, const QString& token, const QString& userId) {
    const QString name = userName.isEmpty() ? QStringLiteral("_UNLOGIN_") : userName;
    return QStringLiteral("{0:[%1],1:[%2],2:[%3]}")
        .arg(ScriptStringLiteral(name), ScriptStringLiteral(token), ScriptStringLiteral(userId));
}

HRESULT ExternalDispIdOf(const QString& name, int* dispId) {
    if (name.isEmpty())
        return E_NOTIMPL;
    for (int i = 0; i < int(std::size(kMethods)); ++i) {
        if (name.compare(QLatin1String(kMethods[i]), Qt::CaseInsensitive) == 0) {
            *dispId = i + 1;
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT CheckExternalDispId(int dispId) {
    return dispId >= 1 && dispId <= int(std::size(kMethods)) ? S_OK : E_INVALIDARG;
}
