#include "ui/middlewindow/explorerwindow/explorermodel.h"

#include <algorithm>

#include "ui/middlewindow/explorerwindow/thumbnailtile.h"

namespace {

QString Q(const std::wstring& s) {
    return QString::fromStdWString(s);
}

// Folders of people first when descending, files first when ascending.
int KindRank(int kind) {
    return kind == kSharerFolder ? 2 : kind == 1 ? 1 : 0;
}

struct SortKey {
    int rank = 0;
    QString text;
    int64_t size = 0;
};

}  // namespace

CExplorerModel::CExplorerModel(QObject* parent) : QAbstractTableModel(parent) {
    rows_.push_back(Row{kParentRow});
}

CExplorerModel::~CExplorerModel() = default;

void CExplorerModel::ClearRows() {
    if (rows_.size() > 1) {
        beginRemoveRows(QModelIndex(), 1, int(rows_.size()) - 1);
        rows_.resize(1);
        endRemoveRows();
    }
    items_.clear();
    tiles_.clear();
    newFolderName_.clear();
}

void CExplorerModel::AppendItems(std::vector<RemoteItem> items) {
    const int base = int(items_.size());
    std::vector<Row> added;
    added.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].name.empty())
            continue;
        if (items[i].isFolder == 1 || items[i].isFolder == kSharerFolder)
            ++folders_;
        else
            ++files_;
        added.push_back(Row{base + int(i)});
    }
    std::move(items.begin(), items.end(), std::back_inserter(items_));
    if (added.empty())
        return;
    const int first = int(rows_.size());
    beginInsertRows(QModelIndex(), first, first + int(added.size()) - 1);
    rows_.insert(rows_.end(), added.begin(), added.end());
    endInsertRows();
}

int CExplorerModel::AppendNewFolderRow(const QString& name, const QString& modified) {
    const int row = int(rows_.size());
    beginInsertRows(QModelIndex(), row, row);
    newFolderName_ = name;
    newFolderModified_ = modified;
    rows_.push_back(Row{kNoItem});
    endInsertRows();
    return row;
}

void CExplorerModel::GiveNewFolderItem(int row, const RemoteItem& item) {
    if (row <= 0 || row >= int(rows_.size()) || rows_[size_t(row)].item != kNoItem)
        return;
    items_.push_back(item);
    rows_[size_t(row)].item = int(items_.size()) - 1;
    ++folders_;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void CExplorerModel::RemoveRowAt(int row) {
    if (row <= 0 || row >= int(rows_.size()))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void CExplorerModel::SetItemName(int row, const std::wstring& name) {
    const int item = ItemIndexOfRow(row);
    if (item < 0)
        return;
    items_[size_t(item)].name = name;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void CExplorerModel::Sort(int column, Qt::SortOrder order) {
    if (rows_.size() <= 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Only rows with an item take part; row 0 stays first and rows without an
    // item (the new folder) stay last, so the order is a strict weak one.
    std::vector<int> sortable;
    std::vector<int> pinnedLast;
    for (size_t r = 1; r < rows_.size(); ++r)
        (rows_[r].item >= 0 ? sortable : pinnedLast).push_back(int(r));
    std::vector<SortKey> keys(rows_.size());
    for (int r : sortable) {
        const RemoteItem& item = items_[size_t(rows_[size_t(r)].item)];
        SortKey& k = keys[size_t(r)];
        k.rank = KindRank(item.isFolder);
        switch (column) {
            case kColSize:
                k.size = item.size;
                break;
            case kColType:
                k.text = TypeTextOf(item).toCaseFolded();
                break;
            case kColModified:
                k.text = Q(item.modTime).toCaseFolded();
                break;
            default:
                k.text = Q(item.name).toCaseFolded();
                break;
        }
    }
    auto less = [&](int a, int b) {
        const SortKey& x = keys[size_t(a)];
        const SortKey& y = keys[size_t(b)];
        if (x.rank != y.rank)
            return x.rank < y.rank;
        if (column == kColSize)
            return x.size < y.size;
        return x.text < y.text;
    };
    if (order == Qt::AscendingOrder)
        std::stable_sort(sortable.begin(), sortable.end(), less);
    else
        std::stable_sort(sortable.begin(), sortable.end(), [&](int a, int b) { return less(b, a); });

    std::vector<int> newOrder;
    newOrder.reserve(rows_.size());
    newOrder.push_back(0);
    newOrder.insert(newOrder.end(), sortable.begin(), sortable.end());
    newOrder.insert(newOrder.end(), pinnedLast.begin(), pinnedLast.end());
    std::vector<int> newRowOf(rows_.size());
    std::vector<Row> sorted(rows_.size());
    for (size_t n = 0; n < newOrder.size(); ++n) {
        sorted[n] = rows_[size_t(newOrder[n])];
        newRowOf[size_t(newOrder[n])] = int(n);
    }
    rows_.swap(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.push_back(index(newRowOf[size_t(i.row())], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CExplorerModel::ItemIndexOfRow(int row) const {
    if (row < 0 || row >= int(rows_.size()))
        return kNoItem;
    return rows_[size_t(row)].item;
}

const RemoteItem* CExplorerModel::ItemOfRow(int row) const {
    const int item = ItemIndexOfRow(row);
    return item >= 0 && item < int(items_.size()) ? &items_[size_t(item)] : nullptr;
}

int CExplorerModel::RowOfItemIndex(int index) const {
    for (size_t r = 1; r < rows_.size(); ++r) {
        if (rows_[r].item == index)
            return int(r);
    }
    return -1;
}

void CExplorerModel::SetViewMode(int mode) {
    if (mode == viewMode_)
        return;
    viewMode_ = mode;
    if (rows_.size() > 0)
        emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, 0), {Qt::DecorationRole});
}

void CExplorerModel::SetTile(int itemIndex, const QPixmap& tile) {
    tiles_.insert(itemIndex, tile);
    const int row = RowOfItemIndex(itemIndex);
    if (row > 0)
        emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
}

void CExplorerModel::DropTiles() {
    if (tiles_.isEmpty())
        return;
    tiles_.clear();
    emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, 0), {Qt::DecorationRole});
}

ExtIconEntry& CExplorerModel::EntryOf(const RemoteItem& item) const {
    if (item.isFolder == kSharerFolder)
        return icons_.User();
    if (item.isFolder == 1)
        return icons_.Folder();
    return icons_.ForFileName(Q(item.name));
}

QIcon CExplorerModel::IconOfRow(int row) const {
    if (row == 0)
        return icons_.Parent().icon;
    const RemoteItem* item = ItemOfRow(row);
    return item ? EntryOf(*item).icon : icons_.Folder().icon;
}

QPixmap CExplorerModel::TileOfRow(int row) const {
    const int item = ItemIndexOfRow(row);
    auto tile = tiles_.find(item);
    if (item >= 0 && tile != tiles_.end())
        return *tile;
    ExtIconEntry& entry = row == 0    ? icons_.Parent()
                          : item >= 0 ? EntryOf(items_[size_t(item)])
                                      : icons_.Folder();
    if (entry.tile.isNull())
        entry.tile = MakeIconTile(entry.icon);
    return entry.tile;
}

QString CExplorerModel::TypeTextOf(const RemoteItem& item) const {
    return EntryOf(item).typeText;
}

QString CExplorerModel::SizeText(int64_t size) {
    if (size < 1048576)
        return QString::asprintf("%.2fK", double(size) / 1024.0);
    if (size < 1073741824)
        return QString::asprintf("%.2fM", double(size) / 1048576.0);
    return QString::asprintf("%.2fG", double(size) / 1073741824.0);
}

int CExplorerModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int CExplorerModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CExplorerModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (!index.isValid() || row >= int(rows_.size()))
        return QVariant();
    const int column = index.column();
    const RemoteItem* item = ItemOfRow(row);
    const bool newFolder = row > 0 && !item;
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole) {
        if (role == Qt::ToolTipRole && column != kColName)
            return QVariant();
        switch (column) {
            case kColName:
                return row == 0 ? QStringLiteral("..") : newFolder ? newFolderName_ : Q(item->name);
            case kColSize:
                return item && item->isFolder == 0 ? SizeText(item->size) : QString();
            case kColType:
                return row == 0 ? QString() : newFolder ? icons_.Folder().typeText : TypeTextOf(*item);
            case kColModified:
                return row == 0 ? QString() : newFolder ? newFolderModified_ : Q(item->modTime);
            default:
                return QVariant();
        }
    }
    if (role == Qt::DecorationRole && column == kColName)
        return viewMode_ == kThumbnails ? QVariant(TileOfRow(row)) : QVariant(IconOfRow(row));
    // The list views lay out equal cells; a cell wide enough for its grid keeps
    // names from being cut to the width of "..".
    if (role == Qt::SizeHintRole && column == kColName && viewMode_ != kDetails) {
        static const QSize cells[] = {{116, 118}, {232, 54}, {104, 60}, {216, 20}};
        return cells[viewMode_];
    }
    if (role == Qt::TextAlignmentRole && column == kColSize)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant CExplorerModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char16_t* const captions[] = {u"名称", u"大小", u"类型", u"修改日期"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumnCount)
        return QString::fromUtf16(captions[section]);
    return QVariant();
}

Qt::ItemFlags CExplorerModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.row() > 0 && index.column() == kColName)
        f |= Qt::ItemIsEditable;
    return f;
}

bool CExplorerModel::setData(const QModelIndex&, const QVariant&, int) {
    return false;
}
