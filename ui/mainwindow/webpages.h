#pragma once
// Addresses of the service's web pages the main window and the about dialog
// open, all under the settings' [NorleShell] WebServerRoot.
#include <QString>
#include <QUrl>

QString WebServerRoot();
// The feedback page with the client type, the session token and the version.
QUrl FeedbackPage(const QString& root, const QString& token, const QString& version);
QUrl HomePage(const QString& root);
QUrl BlogPage(const QString& root);
// The program's version text ("%d.%d.%d.%d"; "0.0.0.0" when it has none).
QString ProgramVersionText();
