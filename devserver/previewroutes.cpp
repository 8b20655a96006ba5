// The preview package: GET /dsAgent/getHtmlPackage/?token=..&fileId=..&view=pellux
// &clientWidth=W&clientHeight=H&compress=zip&suff=jpg answers a zip whose one
// entry "<fileId>.jpg" is the picture scaled to fit W x H.
#include "devserver/accounts.h"
#include "devserver/blobcodec.h"
#include "devserver/blobfiles.h"
#include "devserver/demopictures.h"
#include "devserver/itemtree.h"
#include "devserver/jpegcodec.h"
#include "devserver/service.h"
#include "devserver/xmlreply.h"
#include "devserver/zipbuilder.h"

namespace devserver {

namespace {

constexpr int kMaxPreviewSide = 2048;

bool SideParam(const httplib::Request& req, const char* name, int* value) {
    std::string text = req.get_param_value(name);
    if (text.empty() || text.size() > 4) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    *value = std::stoi(text);
    return *value >= 1 && *value <= kMaxPreviewSide;
}

void Refuse(httplib::Response& res, int status, const std::string& result) {
    res.status = status;
    res.set_content(XmlReply(result).Text(), kXmlType);
}

void GetPreview(Service& service, const httplib::Request& req, httplib::Response& res) {
    int width = 0;
    int height = 0;
    if (!SideParam(req, "clientWidth", &width) || !SideParam(req, "clientHeight", &height) ||
        req.get_param_value("compress") != "zip" || req.get_param_value("suff") != "jpg") {
        Refuse(res, 400, "clientBadParams");
        return;
    }
    std::string failure;
    Item item;
    int rights = -1;
    service.store.Run([&](Db& db) {
        std::string userId, device;
        failure = CheckToken(db, req.get_param_value("token"), &userId, &device);
        if (failure.empty()) {
            rights = ItemRightsFor(db, userId, req.get_param_value("fileId"), &item);
        }
    });
    if (!failure.empty()) {
        Refuse(res, 403, failure);
        return;
    }
    if (rights <= 0 || item.folder) {
        Refuse(res, 404, rights == 0 ? "permissionDenied" : "targetNotExist");
        return;
    }
    // The service issued the key, so it can read the picture it previews.
    RgbImage picture;
    std::string blob, plain;
    bool decoded = ReadBlob(service.store, item.blob, &blob) &&
                   DecodeBlob(service.store, item.fileKey, blob, &plain) &&
                   DecodeJpeg(plain, width, height, &picture);
    RgbImage preview = decoded ? ScaleToFit(picture, width, height) : DrawPlaceholder(width, height);
    std::string jpeg, zip;
    if (!EncodeJpeg(preview, 85, &jpeg) || !BuildZip(service.store, {{item.id + ".jpg", jpeg}}, &zip)) {
        Refuse(res, 500, "serverError");
        return;
    }
    res.set_content(zip, "application/zip");
}

}  // namespace

void AddPreviewRoutes(Service& service, const RouteAdder& add) {
    add("GET", "/dsAgent/getHtmlPackage/?",
        [&service](const httplib::Request& req, httplib::Response& res, bool) {
            GetPreview(service, req, res);
        });
}

}  // namespace devserver
