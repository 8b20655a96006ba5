// Content transfers: requestUpload and the multipart content POST,
// requestDownload(PreviousVer) and the content GET.
#include <ctime>
#include <fstream>
#include <memory>

#include "devserver/accounts.h"
#include "devserver/blobfiles.h"
#include "devserver/ids.h"
#include "devserver/itemtree.h"
#include "devserver/itemxml.h"
#include "devserver/service.h"

namespace devserver {

namespace {

// How long a download address stays good when it is not used.
constexpr int64_t kDownloadStubSeconds = 3600;

bool IsSha1Text(const std::string& text) {
    if (text.size() != 40) {
        return false;
    }
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

bool IsDecimal(const std::string& text) {
    if (text.empty() || text.size() > 18) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

Item RequireFile(Db& db, const OpCall& call, int wanted) {
    Item item;
    int rights = ItemRightsFor(db, call.userId, call.fields.Get("fileId"), &item);
    if (rights < 0) {
        throw OpFailure{"targetNotExist"};
    }
    if ((rights & wanted) != wanted || rights == kRightNone) {
        throw OpFailure{"permissionDenied"};
    }
    if (item.folder) {
        throw OpFailure{"clientBadParams"};
    }
    return item;
}

// Binds a stub to the upload: the caller, the entry, the version it builds
// on, the plaintext size and digest, and the key the content is encrypted with.
std::string RequestUpload(Service& service, const OpCall& call) {
    int64_t baseVer = DecimalField(call, "fileVer");
    int64_t size = DecimalField(call, "size");
    std::string sha1 = AsciiLower(call.fields.Get("sha1"));
    if (!IsSha1Text(sha1)) {
        throw OpFailure{"clientBadParams"};
    }
    return service.store.Run([&](Db& db) {
        Item item = RequireFile(db, call, kRightWrite);
        if (baseVer != item.fileVer) {
            throw OpFailure{"fileVerConflict"};
        }
        User owner;
        FindUser(db, item.owner, &owner);
        if (size > 0x7FFFFFFF || UsedSpace(db, owner.id) - item.size + size > owner.total) {
            throw OpFailure{"overSpace"};
        }
        std::string stub = "u" + RandomHex(16);
        std::string fileKey = RandomHex(32);
        db.Exec(
            "INSERT INTO stubs(stub, kind, user, item, baseVer, size, sha1, fileKey, device)"
            " VALUES(?, 'up', ?, ?, ?, ?, ?, ?, ?)",
            {stub, call.userId, item.id, baseVer, size, sha1, fileKey, call.device});
        return XmlReply()
            .Value("fileKey", fileKey)
            .Value("stub", stub)
            .Value("url", service.BaseUrl(call.http) + "/store/up?")
            .Value("fileVer", item.fileVer)
            .Text();
    });
}

std::string RequestDownload(Service& service, const OpCall& call, bool previous) {
    return service.store.Run([&](Db& db) {
        Item item = RequireFile(db, call, kRightRead);
        if (item.fileVer == 0) {
            throw OpFailure{"emptyFile"};
        }
        if (previous && item.prevFileVer == 0) {
            throw OpFailure{"targetNotExist"};
        }
        std::string stub = "d" + RandomHex(16);
        const int64_t now = static_cast<int64_t>(std::time(nullptr));
        db.Exec("DELETE FROM stubs WHERE kind = 'down' AND created < ?", {now - kDownloadStubSeconds});
        db.Exec("INSERT INTO stubs(stub, kind, user, item, blob, created) VALUES(?, 'down', ?, ?, ?, ?)",
                {stub, call.userId, item.id, previous ? item.prevBlob : item.blob, now});
        return XmlReply()
            .Value("url", service.BaseUrl(call.http) + "/store/down?")
            .Value("stub", stub)
            .Value("compressSha1", previous ? item.prevBlobSha1 : item.blobSha1)
            .Value("sha1", previous ? item.prevSha1 : item.sha1)
            .Value("fileKey", previous ? item.prevKey : item.fileKey)
            .Value("fileVer", previous ? item.prevFileVer : item.fileVer)
            .Value("size", previous ? item.prevSize : item.size)
            .Value("modTime", previous ? item.prevModTime : item.modTime)
            .Text();
    });
}

std::string RequestDownloadNow(Service& service, const OpCall& call) {
    return RequestDownload(service, call, false);
}
std::string RequestDownloadPrevious(Service& service, const OpCall& call) {
    return RequestDownload(service, call, true);
}

void ReplyResult(httplib::Response& res, const std::string& result) {
    res.set_content(XmlReply(result).Text(), kXmlType);
}

// The content POST: checks the stub, the size and the digest of the encoded
// part, then makes it the entry's next version.
void Upload(Service& service, const httplib::Request& req, httplib::Response& res) {
    std::string stub = req.get_param_value("stub");
    std::string uploadSize = req.get_param_value("uploadSize");
    std::string uploadSha1 = AsciiLower(req.get_param_value("uploadSha1"));
    if (!req.has_file("FileCont") || !IsDecimal(uploadSize) || !IsSha1Text(uploadSha1)) {
        ReplyResult(res, "uploadError");
        return;
    }
    // By reference: the part may be a few hundred MiB.
    const httplib::MultipartFormData& part = req.files.find("FileCont")->second;
    if (std::to_string(part.content.size()) != uploadSize || Sha1Hex(part.content) != uploadSha1) {
        ReplyResult(res, "uploadError");
        return;
    }
    std::string blob = WriteBlob(service.store, part.content);
    if (blob.empty()) {
        ReplyResult(res, "storageError");
        return;
    }
    std::vector<std::string> obsolete{blob};
    try {
        int64_t fileVer = service.store.Run([&](Db& db) {
            auto rows = db.Query(
                "SELECT user, item, baseVer, size, sha1, fileKey, device FROM stubs"
                " WHERE stub = ? AND kind = 'up'",
                {stub});
            if (rows.empty()) {
                throw OpFailure{"uploadError"};
            }
            const DbRow& s = rows[0];
            Item item;
            if (!GetItem(db, s[1], &item) || item.state != 0) {
                throw OpFailure{"targetNotExist"};
            }
            if (item.fileVer != std::stoll(s[2])) {
                throw OpFailure{"fileVerConflict"};
            }
            int64_t opVer = TouchItem(db, item, s[6]);
            db.Exec(
                "UPDATE items SET prevBlob = blob, prevKey = fileKey, prevBlobSha1 = blobSha1,"
                " prevSha1 = sha1, prevSize = size, prevFileVer = fileVer, prevModTime = modTime,"
                " blob = ?, fileKey = ?, blobSha1 = ?, size = ?, sha1 = ?, fileVer = fileVer + 1,"
                " opVer = ?, modifier = ? WHERE id = ?",
                {blob, s[5], uploadSha1, std::stoll(s[3]), s[4], opVer, NickOf(db, s[0]), item.id});
            db.Exec("DELETE FROM stubs WHERE stub = ?", {stub});
            obsolete = {item.prevBlob};
            return item.fileVer + 1;
        });
        RemoveBlobs(service.store, obsolete);
        res.set_content(XmlReply().Value("fileVer", fileVer).Text(), kXmlType);
    } catch (const OpFailure& failure) {
        RemoveBlobs(service.store, obsolete);
        ReplyResult(res, failure.result);
    } catch (const DbError&) {
        RemoveBlobs(service.store, obsolete);
        ReplyResult(res, "serverError");
    }
    service.push.Notify();
}

// The content GET: streams the blob bound to the stub.
void Download(Service& service, const httplib::Request& req, httplib::Response& res, bool corrupt) {
    std::string stub = req.get_param_value("stub");
    std::string bakVer = req.get_param_value("bakVer");
    if (bakVer != "nowVer" && bakVer != "previousVer") {
        res.status = 400;
        return;
    }
    // A stub serves one download, and only for a while.
    std::string blob = service.store.Run([&](Db& db) {
        const int64_t oldest = static_cast<int64_t>(std::time(nullptr)) - kDownloadStubSeconds;
        std::string bound = db.Scalar(
            "SELECT blob FROM stubs WHERE stub = ? AND kind = 'down' AND created >= ?", {stub, oldest});
        db.Exec("DELETE FROM stubs WHERE stub = ? AND kind = 'down'", {stub});
        return bound;
    });
    std::string path = BlobPath(service.store, blob);
    auto in = std::make_shared<std::ifstream>(path, std::ios::binary);
    if (blob.empty() || !*in) {
        res.status = 404;
        return;
    }
    if (corrupt) {
        std::string bytes;
        ReadBlob(service.store, blob, &bytes);
        res.set_content(bytes, "application/octet-stream");
        return;
    }
    in->seekg(0, std::ios::end);
    size_t length = static_cast<size_t>(in->tellg());
    res.set_content_provider(length, "application/octet-stream",
                             [in](size_t offset, size_t length, httplib::DataSink& sink) {
                                 char buf[65536];
                                 size_t n = length < sizeof(buf) ? length : sizeof(buf);
                                 in->seekg(static_cast<std::streamoff>(offset));
                                 in->read(buf, static_cast<std::streamsize>(n));
                                 if (in->gcount() <= 0) {
                                     return false;
                                 }
                                 return sink.write(buf, static_cast<size_t>(in->gcount()));
                             });
}

}  // namespace

void AddTransferOps(std::vector<XmlOp>& ops) {
    ops.push_back({"/xsvr/requestUpload/", "2", true, {"fileVer", "size", "fileId", "sha1"}, RequestUpload});
    ops.push_back({"/xsvr/requestDownload/", "2", true, {"fileId"}, RequestDownloadNow});
    ops.push_back({"/xsvr/requestDownloadPreviousVer/", "2", true, {"fileId"}, RequestDownloadPrevious});
}

void AddContentRoutes(Service& service, const RouteAdder& add) {
    add("UPLOAD", "/store/up/?",
        [&service](const httplib::Request& req, httplib::Response& res, bool) { Upload(service, req, res); });
    add("GET", "/store/down/?",
        [&service](const httplib::Request& req, httplib::Response& res, bool corrupt) {
            Download(service, req, res, corrupt);
        });
}

}  // namespace devserver
