#include "devserver/accounts.h"

#include "devserver/ids.h"

namespace devserver {

namespace {

const char kUserColumns[] = "id, login, email, nick, opVer, shareVer, total, lastDevice, active";

User ToUser(const DbRow& row) {
    User u;
    u.id = row[0];
    u.login = row[1];
    u.email = row[2];
    u.nick = row[3];
    u.opVer = std::stoll(row[4]);
    u.shareVer = std::stoll(row[5]);
    u.total = std::stoll(row[6]);
    u.lastDevice = row[7];
    u.active = row[8] != "0";
    return u;
}

}  // namespace

std::string CreateUser(Db& db, const std::string& login, const std::string& password,
                       const std::string& email, const std::string& nick, int64_t total) {
    int64_t next = db.ScalarInt("SELECT MAX(CAST(id AS INTEGER)) FROM users", {}, 1000) + 1;
    std::string id = std::to_string(next);
    db.Exec(
        "INSERT INTO users(id, login, password, email, nick, opVer, shareVer, total) VALUES(?,?,?,?,?,1,1,?)",
        {id, login, password, email, nick, total});
    return id;
}

bool FindUser(Db& db, const std::string& id, User* user) {
    auto rows = db.Query(std::string("SELECT ") + kUserColumns + " FROM users WHERE id = ?", {id});
    if (rows.empty()) {
        return false;
    }
    *user = ToUser(rows[0]);
    return true;
}

bool FindUserByName(Db& db, const std::string& name, User* user) {
    auto rows = db.Query(std::string("SELECT ") + kUserColumns + " FROM users WHERE login = ? OR email = ?",
                         {name, name});
    if (rows.empty()) {
        return false;
    }
    *user = ToUser(rows[0]);
    return true;
}

bool CheckPassword(Db& db, const std::string& userId, const std::string& password) {
    return db.Scalar("SELECT password FROM users WHERE id = ?", {userId}, "\x01") == password;
}

std::string IssueToken(Db& db, const std::string& userId, const std::string& device) {
    std::string token = RandomHex(24);
    db.Exec("INSERT INTO tokens(token, user, device) VALUES(?,?,?)", {token, userId, device});
    return token;
}

std::string CheckToken(Db& db, const std::string& token, std::string* userId, std::string* device) {
    if (token.empty()) {
        return "clientNoLogin";
    }
    auto rows = db.Query("SELECT user, device, revoked FROM tokens WHERE token = ?", {token});
    if (rows.empty()) {
        return "clientNoLogin";
    }
    if (rows[0][2] != "0") {
        return "clientTokenExpired";
    }
    *userId = rows[0][0];
    *device = rows[0][1];
    return "";
}

void RevokeToken(Db& db, const std::string& token) {
    db.Exec("UPDATE tokens SET revoked = 1 WHERE token = ?", {token});
}

int64_t BumpOpVer(Db& db, const std::string& userId, const std::string& device) {
    db.Exec("UPDATE users SET opVer = opVer + 1, lastDevice = ? WHERE id = ?", {device, userId});
    return db.ScalarInt("SELECT opVer FROM users WHERE id = ?", {userId});
}

void BumpShareVer(Db& db, const std::string& userId) {
    db.Exec("UPDATE users SET shareVer = shareVer + 1 WHERE id = ?", {userId});
}

int64_t UsedSpace(Db& db, const std::string& userId) {
    return db.ScalarInt("SELECT COALESCE(SUM(size), 0) FROM items WHERE owner = ? AND folder = 0", {userId});
}

}  // namespace devserver
