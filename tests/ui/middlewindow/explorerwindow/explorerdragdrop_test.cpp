// Drag out, copy out and drops on the explorer list, as the desktop and the
// user see them: the clipboard's bytes, the marker the monitor turns into
// downloads, the drag's data, the drop-effect rule and what each drop asks
// of the service.
#include <sys/stat.h>

#include <QClipboard>
#include <QDragEnterEvent>
#include <QFile>
#include <QListView>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "base/utility/localpath.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/filenotifyrevicer.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfilehandler.h"
#include "skingui/listviewctrlex.h"
#include "tests/ui/middlewindow/explorerwindow/explorerfixture.h"
#include "ui/explorerdragmime.h"
#include "ui/middlewindow/explorerwindow/dragdatafile.h"
#include "ui/middlewindow/explorerwindow/dropdatasource.h"
#include "ui/middlewindow/explorerwindow/droptarget.h"
#include "ui/middlewindow/explorerwindow/droptargetctrl.h"

namespace pellux_test {
namespace {

class RecordingDownloader final : public IMarkerDownloader {
public:
    HRESULT Download(const std::wstring& id, const std::wstring& parentId, const std::wstring& path,
                     const std::wstring& destination) override {
        calls.push_back(L"Download " + id + L"|" + parentId + L"|" + path + L"|" + destination);
        return S_OK;
    }
    HRESULT DownloadFolder(const std::wstring& id, const std::wstring& parentId, const std::wstring& path,
                           const std::wstring& destination) override {
        calls.push_back(L"DownloadFolder " + id + L"|" + parentId + L"|" + path + L"|" + destination);
        return S_OK;
    }
    std::vector<std::wstring> calls;
};

QByteArray FileUrl(const std::wstring& path) {
    return QUrl::fromLocalFile(QString::fromStdWString(path)).toEncoded();
}

class ExplorerDragDropTest : public ExplorerTest {
protected:
    void SetUp() override {
        ExplorerTest::SetUp();
        fs->folders[L""] = {Item(1, L"文档", L"d", L""), Item(0, L"报告 1.txt", L"f", L"", 10),
                            Item(0, L"b.txt", L"g", L"", 20), Item(0, L"a|b", L"p", L""),
                            Item(0, L"x:y", L"c", L"")};
        fs->folders[L"d"] = {Item(0, L"inner.txt", L"i", L"d")};
        Open();
        ASSERT_EQ(GetCoreAccess().GetSyncRoot(syncRoot), S_OK);
        ASSERT_FALSE(syncRoot.empty());
    }
    QWidget* Viewport() { return window->DetailsView()->viewport(); }
    QPoint PointOf(int row) {
        return row < 0 ? QPoint(5, Viewport()->height() - 3)
                       : window->DetailsView()->visualRect(window->Model()->index(row, 0)).center();
    }
    // One drag over the list ending in a drop on the row; the drop's answer
    // to the source comes back.
    Qt::DropAction DropOn(int row, QMimeData* data, Qt::DropActions allowed = Qt::CopyAction,
                          Qt::KeyboardModifiers keys = Qt::NoModifier) {
        const QPoint at = PointOf(row);
        QDragEnterEvent enter(at, allowed, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(Viewport(), &enter);
        QDragMoveEvent move(at, allowed, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(Viewport(), &move);
        QDropEvent drop(at, allowed, data, Qt::LeftButton, keys);
        drop.setDropAction(move.dropAction());
        QCoreApplication::sendEvent(Viewport(), &drop);
        Settle();
        delete data;
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }

    std::wstring syncRoot;
};

TEST_F(ExplorerDragDropTest, CtrlCPutsAnIssuedMarkerOnTheClipboardThatTheMonitorTurnsIntoDownloads) {
    Select({L"文档", L"报告 1.txt", L"a|b", L"x:y"});
    QApplication::clipboard()->clear();
    QTest::keyClick(window->DetailsView(), Qt::Key_C, Qt::ControlModifier);

    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QList<QUrl> urls = data->urls();
    ASSERT_EQ(urls.size(), 1);
    const std::wstring marker = urls[0].toLocalFile().toStdWString();
    std::wstring folder, name;
    EXPECT_EQ(GetParentFolder(folder, marker), DragDataFolder(syncRoot));
    EXPECT_EQ(GetFileNameFromPath(name, marker).rfind(kCopyMarkerPrefix, 0), 0u);
    EXPECT_EQ(data->data("text/uri-list"), FileUrl(marker) + "\r\n");
    EXPECT_EQ(data->data("x-special/gnome-copied-files"), "copy\n" + FileUrl(marker));
    EXPECT_EQ(data->data("application/x-kde-cutselection"), "0");
    struct stat st;
    ASSERT_EQ(stat(WideToUtf8(marker).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // The file manager's paste copies the marker into the folder shown there.
    const std::string target = MakeTempDir("paste");
    const std::string pasted = target + "/" + WideToUtf8(name);
    ASSERT_TRUE(QFile::copy(QString::fromStdWString(marker), QString::fromStdString(pasted)));
    auto downloader = std::make_shared<RecordingDownloader>();
    CMarkerFileHandler handler(syncRoot, downloader);
    EXPECT_EQ(handler.OnFileNotify(kFileNotifyAdded, Utf8ToWide(pasted), L""), 0);
    const std::wstring to = Utf8ToWide(target);
    EXPECT_EQ(downloader->calls,
              (std::vector<std::wstring>{L"DownloadFolder d||\\文档|" + to + L"/文档",
                                         L"Download f||\\报告 1.txt|" + to + L"/报告 1.txt"}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pasted)));
}

TEST_F(ExplorerDragDropTest, DraggingSelectedRowsStartsADragButRowZeroOnlySelects) {
    struct Case {
        std::wstring pressed;  // ".." row 0
        bool dragged;
    };
    for (const Case& c : std::vector<Case>{{L"b.txt", true}, {L"..", false}}) {
        SCOPED_TRACE(WideToUtf8(c.pressed));
        Select({L"报告 1.txt", L"b.txt"});
        const QPoint from = PointOf(c.pressed == L".." ? 0 : RowOf(c.pressed));
        QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(Viewport(), PointOf(RowOf(L"a|b")));
        QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(RowOf(L"a|b")));
        // A drag leaves the selection as it was; without one the press and
        // the move select rows instead.
        std::vector<int> rows;
        for (const CExplorerWindow::SelectedRow& r : window->SelectionSnapshot())
            rows.push_back(r.row);
        const std::vector<int> before = {RowOf(L"报告 1.txt"), RowOf(L"b.txt")};
        EXPECT_EQ(rows == before, c.dragged);
    }
}

TEST_F(ExplorerDragDropTest, DragRecordsLeaveOutRowZeroRowsWithoutItemsAndNamesThatBreakFields) {
    const std::vector<RemoteItem>& items = window->Model()->Items();
    const std::vector<CExplorerWindow::SelectedRow> rows = {{0, nullptr},   {1, &items[0]}, {2, &items[1]},
                                                            {3, &items[3]}, {4, &items[4]}, {5, nullptr}};
    const std::vector<DragRecord> records = DragRecordsOfRows(rows, kNavigateMyFiles, L"\\上");
    const std::wstring text = L"1|0|文档|d||\\上\\文档|:0|0|报告 1.txt|f||\\上\\报告 1.txt|:";
    EXPECT_EQ(BuildDragRecordText(records), text);

    struct Case {
        std::wstring text;
        std::vector<std::wstring> ids;  // a folder's with "/"
    };
    const std::vector<Case> cases = {
        {text, {L"d/", L"f"}},
        {L"0|0|n|id1|p|\\n|:0|0|short|:1|3|m|id2||\\m|:", {L"id1", L"id2/"}},
        {L"", {}},
        {L"1|0|x|", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.text));
        std::vector<std::wstring> ids;
        for (const DragRecord& r : ParseDragRecordText(c.text))
            ids.push_back(r.fileId + (r.isFolder ? L"/" : L""));
        EXPECT_EQ(ids, c.ids);
    }

    // The drag's data: the records under the program's own type, the marker
    // as a file URL, and nothing that other programs would paste as text.
    std::unique_ptr<QMimeData> data(BuildDragMimeData(text, {L"/tmp/标 记.ini"}));
    EXPECT_EQ(data->formats(), (QStringList{kExplorerDragMime, "text/uri-list"}));
    EXPECT_EQ(data->data(kExplorerDragMime), QString::fromStdWString(text).toUtf8());
    EXPECT_EQ(data->data("text/uri-list"), "file:///tmp/%E6%A0%87%20%E8%AE%B0.ini\r\n");
    std::unique_ptr<QMimeData> textOnly(BuildDragMimeData(text, {}));
    EXPECT_EQ(textOnly->formats(), QStringList{kExplorerDragMime});
}

TEST_F(ExplorerDragDropTest, ACancelledDragTakesItsMarkerAndStartUpPrunesLeftovers) {
    const std::vector<DragRecord> records = {DragRecord{false, 0, L"b.txt", L"g", L"", L"\\b.txt"}};
    std::wstring marker, name;
    ASSERT_EQ(WriteDragDataFile(syncRoot, MarkerKind::kDrag, records, marker), S_OK);
    const std::wstring token = MarkerTokenFromName(GetFileNameFromPath(name, marker));
    EXPECT_TRUE(TheIssuedMarkers().Contains(token));
    CDropDataSource source;
    Qt::DropAction effect = Qt::CopyAction;
    EXPECT_EQ(source.DoDragDrop(window.get(), Qt::CopyAction, &effect), E_FAIL);
    source.SetText(BuildDragRecordText(records));
    source.SetFiles(marker, {marker});
    // Nothing takes a drop here, as when the user lets go over no target.
    EXPECT_EQ(source.DoDragDrop(window.get(), Qt::CopyAction, &effect), S_OK);
    EXPECT_EQ(effect, Qt::IgnoreAction);
    EXPECT_FALSE(QFile::exists(QString::fromStdWString(marker)));
    EXPECT_FALSE(TheIssuedMarkers().Contains(token));

    // Only markers nobody expects any more go; other files and folders stay.
    std::wstring issued;
    ASSERT_EQ(WriteDragDataFile(syncRoot, MarkerKind::kCopy, records, issued), S_OK);
    const std::string tmp = WideToUtf8(DragDataFolder(syncRoot));
    ASSERT_TRUE(WriteFile(tmp + "/_pellux_dragdata_17.ini", "[Files]\nCount=0\n"));
    ASSERT_TRUE(WriteFile(tmp + "/notes.ini", "x"));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(tmp + "/_pellux_copydata_18.ini")));
    Open();  // a new window prunes at start-up
    EXPECT_EQ(ListFolder(tmp), (std::set<std::string>{WideToUtf8(GetFileNameFromPath(name, issued)),
                                                      "notes.ini", "_pellux_copydata_18.ini"}));
}

TEST(DropEffectRule, FollowsTheKeysAndWhatTheSourceAllows) {
    const Qt::DropActions copyMove = Qt::CopyAction | Qt::MoveAction;
    struct Case {
        bool accepted;
        Qt::KeyboardModifiers keys;
        Qt::DropActions allowed;
        Qt::DropAction effect;
    };
    const std::vector<Case> cases = {
        {false, Qt::NoModifier, copyMove, Qt::IgnoreAction},
        {true, Qt::NoModifier, copyMove, Qt::CopyAction},
        {true, Qt::NoModifier, Qt::MoveAction | Qt::LinkAction, Qt::MoveAction},
        {true, Qt::NoModifier, Qt::LinkAction, Qt::LinkAction},
        {true, Qt::NoModifier, Qt::IgnoreAction, Qt::IgnoreAction},
        {true, Qt::ControlModifier, copyMove, Qt::CopyAction},
        {true, Qt::ControlModifier, Qt::MoveAction, Qt::IgnoreAction},
        {true, Qt::ShiftModifier, copyMove, Qt::MoveAction},
        {true, Qt::ControlModifier | Qt::ShiftModifier, copyMove | Qt::LinkAction, Qt::LinkAction},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.accepted << " keys " << int(c.keys) << " allowed " << int(c.allowed));
        Qt::DropAction effect = Qt::TargetMoveAction;
        EXPECT_EQ(CDropTargetCtrl::ComputeDropEffect(c.accepted, c.keys, c.allowed, &effect),
                  c.effect != Qt::IgnoreAction);
        EXPECT_EQ(effect, c.effect);
    }
}

class RecordingDropWindow : public QWidget, public IDropTargetImpl {
public:
    RecordingDropWindow() { WindowDropTarget().Register(this); }
    int OnDropText(const std::wstring& text) override {
        texts.push_back(text);
        return 0;
    }
    int OnDropFiles(const std::vector<std::wstring>& paths) override {
        files.push_back(paths);
        return 0;
    }
    std::vector<std::wstring> texts;
    std::vector<std::vector<std::wstring>> files;
};

TEST(WindowDropTarget, HandsRecordsAndLocalFilesToTheWindowAndNeverAnswersMove) {
    struct Case {
        Qt::DropActions allowed;
        Qt::DropAction answer;
        size_t calls;
    };
    const std::vector<Case> cases = {{Qt::CopyAction | Qt::MoveAction, Qt::CopyAction, 1},
                                     {Qt::MoveAction | Qt::LinkAction, Qt::LinkAction, 1},
                                     {Qt::MoveAction, Qt::IgnoreAction, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.allowed));
        RecordingDropWindow window;
        QMimeData data;
        data.setData(kExplorerDragMime, QString::fromUtf16(u"0|0|报告|f||\\报告|:").toUtf8());
        data.setUrls({QUrl::fromLocalFile("/tmp/a b/../c.txt"), QUrl("https://example.com/x")});
        QDragEnterEvent enter(QPoint(5, 5), c.allowed, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(&window, &enter);
        QDropEvent drop(QPoint(5, 5), c.allowed, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(&window, &drop);
        EXPECT_EQ(drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction, c.answer);
        ASSERT_EQ(window.texts.size(), c.calls);
        ASSERT_EQ(window.files.size(), c.calls);
        if (c.calls) {
            EXPECT_EQ(window.texts[0], L"0|0|报告|f||\\报告|:");
            EXPECT_EQ(window.files[0], std::vector<std::wstring>{L"/tmp/c.txt"});
        }
    }
}

TEST_F(ExplorerDragDropTest, DropsMoveOwnRecordsIntoFolderRowsAndUploadLocalFiles) {
    const std::string dir = MakeTempDir("drop");
    ASSERT_TRUE(WriteFile(dir + "/up.txt", "hello"));
    const std::wstring up = Utf8ToWide(dir + "/up.txt");
    const std::wstring b = L"0|0|b.txt|g||\\b.txt|:";
    const std::wstring self = L"1|0|文档|d||\\文档|:";
    const std::wstring r = L"0|0|报告 1.txt|f||\\报告 1.txt|:";
    auto records = [](const std::wstring& text) {
        auto* data = new QMimeData();
        data->setData(kExplorerDragMime, QString::fromStdWString(text).toUtf8());
        // What the desktop would copy; our own targets never upload it.
        data->setUrls({QUrl::fromLocalFile("/nowhere/_pellux_dragdata_1.ini")});
        return data;
    };
    auto files = [up]() {
        auto* data = new QMimeData();
        data->setUrls({QUrl::fromLocalFile(QString::fromStdWString(up)), QUrl("https://example.com/x")});
        return data;
    };
    struct Case {
        const char* what;
        int section;
        std::wstring row;      // "" empty space, ".." row 0
        std::wstring records;  // "" the local file instead
        Qt::DropActions allowed;
        std::vector<std::string> calls;
    };
    const auto my = kNavigateMyFiles;
    const auto copy = Qt::CopyAction;
    const std::vector<Case> cases = {
        {"records on a folder row", my, L"文档", b + r, copy, {"Move g>d", "Move f>d"}},
        {"the folder itself stops the records", my, L"文档", b + self + r, copy, {"Move g>d"}},
        {"malformed records are skipped", my, L"文档", L"0|0|short|:" + b, copy, {"Move g>d"}},
        {"records on a file row", my, L"b.txt", r, copy, {}},
        {"records on empty space", my, L"", r, copy, {}},
        {"records on row 0 at the top", my, L"..", r, copy, {}},
        {"records with a move-only source", my, L"文档", r, Qt::MoveAction, {}},
        {"records in the recycle bin", kNavigateRecycle, L"rf", r, copy, {}},
        {"files on a file row", my, L"b.txt", L"", copy | Qt::MoveAction, {"Upload \\up.txt"}},
        {"files on a folder row", my, L"文档", L"", copy, {"Upload \\文档\\up.txt"}},
        {"files where nothing may be uploaded", kNavigateRecycle, L"", L"", copy, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs->SetRecyclePages({{Item(1, L"rf", L"rf", L"")}});
        ASSERT_EQ(window->ShowSection(0, c.section), S_OK);
        Select({c.section == kNavigateRecycle ? L"rf" : L"b.txt"});
        fs->ClearCalls();
        const int row = c.row.empty() ? -1 : c.row == L".." ? 0 : RowOf(c.row);
        ASSERT_NE(row, -2);
        QMimeData* data = c.records.empty() ? files() : records(c.records);
        EXPECT_EQ(DropOn(row, data, c.allowed), Qt::IgnoreAction);
        EXPECT_EQ(CallsOf({"Move", "Upload", "UploadFolder", "Recover"}), c.calls);
    }

    // The row under the cursor is outlined while the selection stays as dragged.
    window->ShowSection(0, kNavigateMyFiles);
    Select({L"b.txt", L"报告 1.txt"});
    std::unique_ptr<QMimeData> hover(records(b));
    QDragEnterEvent enter(PointOf(RowOf(L"文档")), Qt::CopyAction, hover.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(Viewport(), &enter);
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    SaveShot(*window, "explorer_drop_hover");
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(Viewport(), &leave);
    EXPECT_EQ(window->SelectionSnapshot().size(), 2u);

    // Inside a folder, row 0 stands for the folder above it.
    window->ShowSection(0, kNavigateMyFiles);
    window->OpenRow(RowOf(L"文档"));
    Select({L"inner.txt"});
    fs->ClearCalls();
    DropOn(0, records(L"0|0|inner.txt|i|d|\\文档\\inner.txt|:"));
    EXPECT_EQ(CallsOf("Move"), std::vector<std::string>{"Move i>"});

    // The desktop hands drags only to widgets that take drops, in every view.
    for (int mode : {CExplorerModel::kThumbnails, CExplorerModel::kTiles, CExplorerModel::kIcons,
                     CExplorerModel::kList, CExplorerModel::kDetails}) {
        SCOPED_TRACE(mode);
        window->SetViewMode(mode);
        EXPECT_TRUE(window->ItemsView()->viewport()->acceptDrops());
        EXPECT_TRUE(window->DetailsView()->viewport()->acceptDrops());
    }
}

}  // namespace
}  // namespace pellux_test
