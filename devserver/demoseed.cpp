#include "devserver/demoseed.h"

#include <stdexcept>

#include "devserver/accounts.h"
#include "devserver/blobcodec.h"
#include "devserver/blobfiles.h"
#include "devserver/demopictures.h"
#include "devserver/ids.h"
#include "devserver/itemtree.h"
#include "devserver/service.h"
#include "devserver/sharing.h"
#include "devserver/zipbuilder.h"

namespace devserver {

namespace {

class DemoTree {
public:
    DemoTree(const Store& store, Db& db, const std::string& owner, const std::string& nick)
        : m_store(store), m_db(db), m_owner(owner), m_nick(nick) {}

    std::string Folder(const std::string& parent, const std::string& name, const std::string& time) {
        Item item = NewItem(parent, name, time);
        item.folder = true;
        InsertItem(m_db, item);
        return item.id;
    }

    // A file whose stored blob is the content encrypted with a fresh key.
    std::string File(const std::string& parent, const std::string& name, const std::string& content,
                     const std::string& time) {
        Item item = NewItem(parent, name, time);
        item.fileKey = RandomHex(32);
        std::string blob;
        if (!EncodeBlob(m_store, item.fileKey, content, &blob)) {
            throw std::runtime_error("cannot encode a demo file");
        }
        item.blob = WriteBlob(m_store, blob);
        if (item.blob.empty()) {
            throw std::runtime_error("cannot store a demo file");
        }
        item.blobSha1 = Sha1Hex(blob);
        item.size = static_cast<int64_t>(content.size());
        item.sha1 = Sha1Hex(content);
        item.fileVer = 1;
        InsertItem(m_db, item);
        return item.id;
    }

    void Recycle(const std::string& id) {
        Item item;
        GetItem(m_db, id, &item);
        RecycleItem(m_db, item, BumpOpVer(m_db, m_owner, ""));
    }

private:
    Item NewItem(const std::string& parent, const std::string& name, const std::string& time) {
        Item item;
        item.id = NewItemId(m_db);
        item.owner = m_owner;
        item.parent = parent;
        item.name = name;
        item.created = item.modTime = time;
        item.modifier = m_nick;
        item.opVer = BumpOpVer(m_db, m_owner, "");
        return item;
    }

    const Store& m_store;
    Db& m_db;
    std::string m_owner;
    std::string m_nick;
};

std::string Picture(DemoPicture kind, int width, int height) {
    std::string jpeg;
    EncodeJpeg(DrawDemoPicture(kind, width, height), 88, &jpeg);
    return jpeg;
}

}  // namespace

void SeedDemo(Service& service) {
    const Store& store = service.store;
    std::string zip;
    if (!BuildZip(store,
                  {{"readme.txt", "Files packed for the demo account.\n"},
                   {"data.csv", "month,visitors\n2024-01,120\n2024-02,135\n2024-03,160\n"}},
                  &zip)) {
        throw DbError{"cannot build the demo zip"};
    }
    std::string sunset = Picture(DemoPicture::kSunset, 800, 600);
    std::string mountains = Picture(DemoPicture::kMountains, 1024, 683);
    std::string tiles = Picture(DemoPicture::kTiles, 512, 512);
    std::string beach = Picture(DemoPicture::kBeach, 640, 480);
    service.store.Run([&](Db& db) {
        User existing;
        if (FindUserByName(db, "demo", &existing)) {
            return;
        }
        std::string demoId = CreateUser(db, "demo", "demo", "demo@pellux.test", "Demo");
        std::string friendId = CreateUser(db, "friend", "friend", "friend@pellux.test", "Friend");

        DemoTree demo(store, db, demoId, "Demo");
        std::string docs = demo.Folder("", "Documents", "2024-03-01 09:00:00");
        demo.File(docs, "readme.txt", "Welcome to Pellux.\nThis folder holds a few text files.\n",
                  "2024-03-01 09:05:00");
        demo.File(docs, "notes.txt", "Shopping list:\n- milk\n- bread\n- apples\n", "2024-03-02 18:20:00");
        demo.File(docs, "说明.txt", "这是演示账户的说明文件。\n", "2024-03-03 08:00:00");
        demo.Folder(docs, "Reports", "2024-03-04 10:00:00");
        std::string pics = demo.Folder("", "Pictures", "2024-03-05 12:00:00");
        demo.File(pics, "sunset.jpg", sunset, "2024-03-05 12:10:00");
        demo.File(pics, "mountains.jpg", mountains, "2024-03-05 12:11:00");
        demo.File(pics, "tiles.jpg", tiles, "2024-03-05 12:12:00");
        std::string holiday = demo.Folder(pics, "Holiday", "2024-03-06 15:00:00");
        demo.File(holiday, "beach.jpg", beach, "2024-03-06 15:01:00");
        demo.File("", "archive.zip", zip, "2024-03-07 11:00:00");
        demo.File("", "welcome.txt", "Hello from the demo account.\n", "2024-03-07 11:30:00");
        std::string draft = demo.File("", "old-draft.txt", "An early draft.\n", "2024-02-01 10:00:00");
        std::string oldPhotos = demo.Folder("", "Old photos", "2024-02-02 10:00:00");
        demo.File(oldPhotos, "old.jpg", Picture(DemoPicture::kBeach, 320, 240), "2024-02-02 10:01:00");
        std::string todo = demo.File(docs, "todo.txt", "- nothing left\n", "2024-02-03 10:00:00");
        demo.Recycle(draft);
        demo.Recycle(oldPhotos);
        demo.Recycle(todo);

        DemoTree pal(store, db, friendId, "Friend");
        std::string team = pal.Folder("", "Team share", "2024-03-08 09:00:00");
        pal.File(team, "plan.txt", "Plan for the next quarter.\n", "2024-03-08 09:10:00");
        pal.Folder(team, "Specs", "2024-03-08 09:20:00");
        std::string budget = pal.File("", "budget.txt", "Budget: 1200\n", "2024-03-09 14:00:00");
        std::string priv = pal.Folder("", "Private", "2024-03-09 15:00:00");
        pal.File(priv, "diary.txt", "Not shared.\n", "2024-03-09 15:01:00");
        SetShare(db, team, demoId, 3, "");
        SetShare(db, budget, demoId, 1, "");
    });
}

}  // namespace devserver
