#include "ui/mainwindow/sessioncontrol.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>

#include "base/log/logfile.h"

namespace {

const char kLogin1[] = "org.freedesktop.login1";
const char kLogin1Path[] = "/org/freedesktop/login1";
const char kLogin1Manager[] = "org.freedesktop.login1.Manager";

bool CallSucceeded(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage;
}

class CDBusSessionControl final : public ISessionControl {
public:
    bool LogOff() override {
        QDBusConnection session = QDBusConnection::sessionBus();
        // Plasma, then GNOME (1: no confirmation dialog), then logind's own session.
        if (CallSucceeded(
                QDBusInterface("org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown", session).call("logout")))
            return true;
        if (CallSucceeded(QDBusInterface("org.gnome.SessionManager", "/org/gnome/SessionManager",
                                         "org.gnome.SessionManager", session)
                              .call("Logout", 1u)))
            return true;
        const QByteArray id = qgetenv("XDG_SESSION_ID");
        if (id.isEmpty())
            return false;
        return Report(QDBusInterface(kLogin1, kLogin1Path, kLogin1Manager, QDBusConnection::systemBus())
                          .call("TerminateSession", QString::fromUtf8(id)));
    }

    bool PowerOff() override {
        return Report(QDBusInterface(kLogin1, kLogin1Path, kLogin1Manager, QDBusConnection::systemBus())
                          .call("PowerOff", false));
    }

    bool SetShutdownInhibit(bool on) override {
        if (!on) {
            inhibitor_ = QDBusUnixFileDescriptor();
            return true;
        }
        if (inhibitor_.isValid())
            return true;
        QDBusReply<QDBusUnixFileDescriptor> reply =
            QDBusInterface(kLogin1, kLogin1Path, kLogin1Manager, QDBusConnection::systemBus())
                .call("Inhibit", QStringLiteral("shutdown"), QStringLiteral("Pellux"),
                      QStringLiteral("Transfers or watched files are still pending"),
                      QStringLiteral("delay"));
        if (!reply.isValid())
            return false;
        inhibitor_ = reply.value();
        return inhibitor_.isValid();
    }

private:
    static bool Report(const QDBusMessage& reply) {
        if (CallSucceeded(reply))
            return true;
        PELLUX_LOG_WARNING(L"session request failed: %s", reply.errorMessage().toStdWString());
        return false;
    }

    // The inhibitor lasts while this descriptor is open.
    QDBusUnixFileDescriptor inhibitor_;
};

}  // namespace

std::unique_ptr<ISessionControl> MakeDBusSessionControl() {
    return std::make_unique<CDBusSessionControl>();
}
