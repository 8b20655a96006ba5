#pragma once
// Accounts, session tokens and the per-user version counters.
#include <cstdint>
#include <string>

#include "devserver/db.h"

namespace devserver {

struct User {
    std::string id;
    std::string login;
    std::string email;
    std::string nick;
    int64_t opVer = 0;
    int64_t shareVer = 0;
    int64_t total = 0;
    std::string lastDevice;
    bool active = true;
};

// Quota of a new account: 5 GiB.
constexpr int64_t kDefaultQuota = 5368709120LL;

// Creates an account; ids are decimal from 1001 on. Versions start at 1.
std::string CreateUser(Db& db, const std::string& login, const std::string& password,
                       const std::string& email, const std::string& nick, int64_t total = kDefaultQuota);
bool FindUser(Db& db, const std::string& id, User* user);
// By log-in name or e-mail, ASCII case-insensitive.
bool FindUserByName(Db& db, const std::string& name, User* user);
bool CheckPassword(Db& db, const std::string& userId, const std::string& password);

std::string IssueToken(Db& db, const std::string& userId, const std::string& device);
// Empty when the token is live (userId and device filled), else the result
// name: "clientNoLogin" for an unknown token, "clientTokenExpired" for a revoked one.
std::string CheckToken(Db& db, const std::string& token, std::string* userId, std::string* device);
void RevokeToken(Db& db, const std::string& token);

// Raises the user's opVer by one and returns the new value.
int64_t BumpOpVer(Db& db, const std::string& userId, const std::string& device);
void BumpShareVer(Db& db, const std::string& userId);
// Sum of the plaintext sizes of every file the user owns, recycled ones included.
int64_t UsedSpace(Db& db, const std::string& userId);

}  // namespace devserver
