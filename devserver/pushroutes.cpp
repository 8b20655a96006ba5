// The push long-poll: GET /sync/get?uid=USER, held until USER's versions change.
#include "devserver/accounts.h"
#include "devserver/service.h"
#include "devserver/xmlreply.h"

namespace devserver {

void AddPushRoutes(Service& service, const RouteAdder& add) {
    add("GET", "/sync/get/?", [&service](const httplib::Request& req, httplib::Response& res, bool) {
        std::string uid = req.get_param_value("uid");
        bool known = !uid.empty() && service.store.Run([&](Db& db) {
            User user;
            return FindUser(db, uid, &user);
        });
        // An unknown uid is held like any other so a misconfigured client does not spin.
        std::string key = known ? uid : "\x01unknown";
        VersionPair versions = service.push.Wait(key, [&] {
            if (!known) {
                return VersionPair{0, 0};
            }
            return service.store.Run([&](Db& db) {
                User user;
                FindUser(db, uid, &user);
                return VersionPair{user.opVer, user.shareVer};
            });
        });
        if (!known) {
            res.set_content(XmlReply("clientBadParams").Text(), kXmlType);
            return;
        }
        std::string device = service.store.Run(
            [&](Db& db) { return db.Scalar("SELECT lastDevice FROM users WHERE id = ?", {uid}); });
        res.set_content(XmlReply()
                            .Value("opVer", versions.first)
                            .Value("shareVer", versions.second)
                            .Value("deviceId", device)
                            .Text(),
                        kXmlType);
    });
}

}  // namespace devserver
