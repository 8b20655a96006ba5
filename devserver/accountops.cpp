// Log-in, token renewal, space and version queries.
#include "devserver/accounts.h"
#include "devserver/service.h"
#include "devserver/xmlreply.h"

namespace devserver {

namespace {

std::string LoginReply(const User& user, const std::string& token) {
    return XmlReply()
        .Value("userId", user.id)
        .Value("token", token)
        .Value("email", user.email)
        .Value("nickName", user.nick)
        .Text();
}

std::string Login(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        User user;
        if (!FindUserByName(db, call.fields.Get("user"), &user) ||
            !CheckPassword(db, user.id, call.fields.Get("password"))) {
            throw OpFailure{"accountNotMatch"};
        }
        if (!user.active) {
            throw OpFailure{"accountNotActive"};
        }
        return LoginReply(user, IssueToken(db, user.id, call.fields.Get("deviceId")));
    });
}

// A silent log-in trades the stored token for a new one; the old one is revoked.
std::string ForkToken(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        std::string old = call.fields.Get("token");
        std::string userId, device;
        std::string failure = CheckToken(db, old, &userId, &device);
        if (!failure.empty()) {
            throw OpFailure{failure};
        }
        User user;
        if (!FindUser(db, userId, &user)) {
            throw OpFailure{"clientNoLogin"};
        }
        if (!user.active) {
            throw OpFailure{"accountNotActive"};
        }
        RevokeToken(db, old);
        std::string newDevice = call.fields.Get("deviceId");
        return LoginReply(user, IssueToken(db, user.id, newDevice.empty() ? device : newDevice));
    });
}

std::string GetSpace(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        User user;
        FindUser(db, call.userId, &user);
        return XmlReply().Value("used", UsedSpace(db, user.id)).Value("total", user.total).Text();
    });
}

std::string GetMaxVers(Service& service, const OpCall& call) {
    return service.store.Run([&](Db& db) {
        User user;
        FindUser(db, call.userId, &user);
        return XmlReply().Value("opVer", user.opVer).Value("shareVer", user.shareVer).Text();
    });
}

}  // namespace

void AddAccountOps(std::vector<XmlOp>& ops) {
    ops.push_back({"/xsvr/login/", "2", false, {"user", "password"}, Login});
    ops.push_back({"/xsvr/forkToken/", "2", false, {}, ForkToken});
    ops.push_back({"/xsvr/getSpace/", "2", true, {}, GetSpace});
    ops.push_back({"/xsvr/getMaxVers/", "2", true, {}, GetMaxVers});
}

}  // namespace devserver
