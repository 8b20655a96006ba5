#pragma once
// The share-settings page and what its script may ask of the program: the
// page's address, the user text GetUserInfo answers with, and the table of
// external methods the page can call.
#include <QString>
#include <QUrl>

#include "platform/hresult.h"

// root + "/xweb/sharefile2/" + "?fileId=<id>&v=2"; the id is URL-encoded.
QUrl ShareSettingsAddress(const QString& webServerRoot, const QString& fileId);
// {0:["name"],1:["token"],2:["id"]} with "_UNLOGIN_" for an empty name; the
// values are escaped for the script string they stand in.
QString UserInfoText(const QString& userName, const QString& token, const QString& userId);
// Text as a double-quoted script string literal ("..." with escapes).
QString ScriptStringLiteral(const QString& text);

// The external object's methods, looked up by name without regard to case.
enum ExternalDispId { kDispGetUserInfo = 1, kDispCloseWizard = 2 };
// The method's id; E_NOTIMPL for an empty name, E_FAIL for an unknown one.
HRESULT ExternalDispIdOf(const QString& name, int* dispId);
// Whether an id may be invoked: E_INVALIDARG outside 1..2.
HRESULT CheckExternalDispId(int dispId);
