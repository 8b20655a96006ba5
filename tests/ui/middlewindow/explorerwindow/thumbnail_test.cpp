// Thumbnails: the fit, the cache paths, the worker's three sources and its
// generations, the tiles' pixels, and the thumbnail view of the window.
#include <QColor>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <future>

#include "tests/ui/middlewindow/explorerwindow/explorerfixture.h"
#include "ui/middlewindow/explorerwindow/thumbnailtile.h"
#include "ui/middlewindow/explorerwindow/thumbnailworker.h"

namespace pellux_test {
namespace {

TEST(ExplorerThumbnailTest, FitKeepsTheAspectAndEachSideBetweenOneAnd94) {
    const std::vector<std::pair<QSize, QSize>> cases = {
        {{200, 100}, {94, 47}}, {{100, 200}, {47, 94}}, {{50, 40}, {50, 40}},  {{1000, 999}, {94, 94}},
        {{94, 10}, {94, 10}},   {{10000, 10}, {94, 2}}, {{10, 10000}, {1, 2}}, {{0, 5}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(c.first.width()).arg(c.first.height()).toStdString());
        EXPECT_EQ(FitThumbnailSize(c.first), c.second);
    }
}

TEST(ExplorerThumbnailTest, CachePathsComeFromSanitisedIds) {
    struct Case {
        const char* what;
        RemoteItem item;
        int type;
        HRESULT result;
        std::wstring thumb;
    };
    const std::vector<Case> cases = {
        {"my files root", Item(0, L"a.png", L"f1", L""), 0, S_OK, L"/d/u1/thumb/root/f1.jpg"},
        {"shared by me root", Item(0, L"a.png", L"f1", L""), 1, S_OK, L"/d/u1/thumb/ShareToOther/f1.jpg"},
        {"shared with me root", Item(0, L"a.png", L"f1", L""), 2, S_OK, L"/d/u1/thumb/ShareToMe/f1.jpg"},
        {"below a folder", Item(0, L"a.png", L"f1", L"p9"), 0, S_OK, L"/d/u1/thumb/p9/f1.jpg"},
        {"id with a slash", Item(0, L"a.png", L"../x", L"p9"), 0, E_INVALIDARG, L""},
        {"parent id that climbs", Item(0, L"a.png", L"f1", L".."), 0, E_INVALIDARG, L""},
        {"no id", Item(0, L"a.png", L"", L"p9"), 0, E_INVALIDARG, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring out;
        EXPECT_EQ(GetThumbnailPath(L"/d/u1/root", c.item, c.type, &out), c.result);
        EXPECT_EQ(out, c.thumb);
    }
    std::wstring local;
    EXPECT_EQ(GetLocalCopyPath(L"/d/u1/root", Item(0, L"..", L"f", L"p"), &local), E_INVALIDARG);
    EXPECT_EQ(GetLocalCopyPath(L"/d/u1/root", Item(0, L"a.png", L"f", L"p"), &local), S_OK);
    EXPECT_EQ(local, L"/d/u1/root/p/a.png");
    EXPECT_TRUE(IsPictureName(L"x.JPEG"));
    EXPECT_FALSE(IsPictureName(L"png"));
}

TEST(ExplorerThumbnailTest, WorkerUsesTheCacheThenTheLocalCopyThenTheServiceAndDropsStaleGenerations) {
    const QString dir = QString::fromStdString(MakeTempDir("thumb"));
    QImage cached(10, 10, QImage::Format_RGB32);
    cached.fill(Qt::blue);
    ASSERT_TRUE(cached.save(dir + "/hit.jpg", "PNG"));
    QImage picture(300, 150, QImage::Format_ARGB32);
    picture.fill(QColor(0, 200, 0));
    ASSERT_TRUE(picture.save(dir + "/local.png"));

    std::atomic<int> fetches{0};
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    CThumbnailWorker worker;
    worker.SetFetch([&](const std::wstring& id, const std::wstring&) {
        ++fetches;
        if (id == L"slow")
            released.wait_for(std::chrono::seconds(10));
        return id == L"ok" ? S_OK : E_FAIL;
    });
    QSignalSpy spy(&worker, &CThumbnailWorker::tileDone);
    auto req = [&](int index, const wchar_t* id, const QString& cache, const QString& local) {
        return ThumbnailRequest{index, id, cache.toStdWString(), local.toStdWString()};
    };
    const quint64 first = worker.Start({req(0, L"hit", dir + "/hit.jpg", ""),
                                        req(1, L"loc", dir + "/sub/loc.jpg", dir + "/local.png"),
                                        req(2, L"bad", dir + "/bad.jpg", ""), req(3, L"unsafe", "", "")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.size() == 4; }, 10000));
    const std::vector<int> states = {kThumbnailLoaded, kThumbnailLoaded, kThumbnailFailed, kThumbnailFailed};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(spy[i][0].toULongLong(), first);
        EXPECT_EQ(spy[i][1].toInt(), i);
        EXPECT_EQ(spy[i][4].toInt(), states[size_t(i)]);
    }
    EXPECT_EQ(fetches.load(), 1);  // only "bad" asked the service
    const QImage made = LoadThumbnail(dir + "/sub/loc.jpg");
    EXPECT_EQ(made.size(), QSize(94, 47));
    EXPECT_EQ(QColor(made.pixel(40, 20)).green(), 200);

    spy.clear();
    worker.Start({req(7, L"slow", dir + "/slow.jpg", "")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return fetches.load() == 2; }, 10000));
    const quint64 second = worker.Start({req(8, L"ok", dir + "/ok.jpg", "")});
    release.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.size() >= 1; }, 10000));
    QTest::qWait(50);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy[0][0].toULongLong(), second);
    EXPECT_EQ(spy[0][1].toInt(), 8);
}

TEST(ExplorerThumbnailTest, TilesFrameTheirContent) {
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QImage image = MakeImageTile(red).toImage();
    EXPECT_EQ(image.size(), QSize(96, 96));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(0xD9, 0xD9, 0xD9));
    EXPECT_EQ(QColor(image.pixel(95, 95)), QColor(0xD9, 0xD9, 0xD9));
    EXPECT_EQ(QColor(image.pixel(1, 1)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(48, 48)), QColor(Qt::red));
    EXPECT_EQ(QColor(image.pixel(48, 30)), QColor(Qt::white));
    auto darkInBand = [](const QImage& tile) {
        int dark = 0;
        for (int y = 70; y < 91; ++y)
            for (int x = 2; x < 94; ++x)
                dark += QColor(tile.pixel(x, y)).lightness() < 160;
        return dark;
    };
    EXPECT_GT(darkInBand(MakeStatusTile(QIcon(), kThumbnailLoading, QFont()).toImage()), 10);
    EXPECT_GT(darkInBand(MakeStatusTile(QIcon(), kThumbnailFailed, QFont()).toImage()), 10);
    EXPECT_EQ(darkInBand(MakeStatusTile(QIcon(), kThumbnailLoaded, QFont()).toImage()), 0);
}

TEST_F(ExplorerTest, ThumbnailViewShowsPreviewsAndACacheHitAsksNobody) {
    fs->folders[L""] = {Item(1, L"photos", L"p", L"")};
    fs->folders[L"p"] = {Item(0, L"sea.jpg", L"s1", L"p"), Item(0, L"hill.png", L"s2", L"p"),
                         Item(0, L"broken.gif", L"s3", L"p"), Item(0, L"notes.txt", L"n", L"p"),
                         Item(1, L"album.jpg", L"a", L"p")};
    fs->writePreview = [](const std::wstring& path) {
        if (path.find(L"s3") != std::wstring::npos)
            return E_RESULT_SERVER_BUSY;
        QImage img(90, 60, QImage::Format_RGB32);
        img.fill(path.find(L"s1") != std::wstring::npos ? QColor(40, 110, 200) : QColor(60, 160, 70));
        QDir().mkpath(QFileInfo(QString::fromStdWString(path)).absolutePath());
        return img.save(QString::fromStdWString(path), "JPEG") ? S_OK : E_FAIL;
    };
    bridge->SetAnswer(L"Wizard_OpenFolder", kAskDefault);
    Open();
    ASSERT_EQ(window->OpenRow(RowOf(L"photos")), S_OK);
    EXPECT_EQ(window->ViewMode(), int(CExplorerModel::kThumbnails));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Thumbnails()->Busy(); }, 10000));
    QTest::qWait(50);
    EXPECT_EQ(CallsOf("GetThumbnail"),
              (std::vector<std::string>{"GetThumbnail s1", "GetThumbnail s2", "GetThumbnail s3"}));
    const QPixmap sea = window->Model()
                            ->data(window->Model()->index(RowOf(L"sea.jpg"), 0), Qt::DecorationRole)
                            .value<QPixmap>();
    EXPECT_EQ(QColor(sea.toImage().pixel(48, 48)).blue(), 200);
    SaveShot(*window, "explorer_thumbnails");

    // Leaving and coming back finds every preview in the cache.
    fs->ClearCalls();
    const quint64 shown = window->Thumbnails()->Generation();
    window->SetViewMode(CExplorerModel::kDetails);
    EXPECT_GT(window->Thumbnails()->Generation(), shown);  // the pending previews were dropped
    window->SetViewMode(CExplorerModel::kThumbnails);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Thumbnails()->Busy(); }, 10000));
    EXPECT_EQ(CallsOf("GetThumbnail"), std::vector<std::string>{"GetThumbnail s3"});

    // Search hits shown in the thumbnail view get their previews too.
    fs->searchHits = {Item(0, L"found.png", L"s4", L"p")};
    fs->ClearCalls();
    ASSERT_EQ(window->FullTextSearch(L"found"), S_OK);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !CallsOf("GetThumbnail").empty(); }, 10000));
    EXPECT_EQ(CallsOf("GetThumbnail"), std::vector<std::string>{"GetThumbnail s4"});
}

}  // namespace
}  // namespace pellux_test
