#include "platform/list_items_model.h"

#include "platform/sort/sort_strategies.h"

#include <QLocale>
#include <algorithm>
#include <numeric>

namespace platform {

ListItemsModel::ListItemsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListItemsModel::setColumnCount(int columns) {
    beginResetModel();
    const size_t old = columns_.size();
    columns_.resize(size_t(std::max(columns, 0)));
    for (size_t i = old; i < columns_.size(); ++i) columns_[i].ends.assign(size_t(rows_), 0);  // empty cells
    captions_.resize(qsizetype(columns_.size()));
    endResetModel();
}

void ListItemsModel::setCaption(int column, const QString& caption) {
    if (column < 0 || column >= captions_.size()) return;
    captions_[column] = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

QVariant ListItemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < captions_.size())
        return captions_[section];
    return {};
}

void ListItemsModel::beginLoad() {
    beginResetModel();
    loading_ = true;
}

void ListItemsModel::endLoad() {
    loading_ = false;
    for (auto& c : columns_) {
        c.chars.shrink_to_fit();
        c.ends.shrink_to_fit();
    }
    endResetModel();
}

void ListItemsModel::reserve(qsizetype rows, const std::vector<size_t>& chars) {
    for (size_t i = 0; i < columns_.size(); ++i) {
        columns_[i].ends.reserve(columns_[i].ends.size() + size_t(rows));
        if (i < chars.size()) columns_[i].chars.reserve(columns_[i].chars.size() + chars[i]);
    }
    checked_.reserve(checked_.size() + size_t(rows));
}

void ListItemsModel::adoptColumns(std::vector<TextColumn>&& texts, qsizetype rows) {
    for (size_t i = 0; i < columns_.size(); ++i) {
        Column& c = columns_[i];
        c.rewritten.clear();
        c.index.clear();
        if (i < texts.size()) {
            c.chars = std::move(texts[i].chars);
            c.ends = std::move(texts[i].ends);
        } else {
            c.chars.clear();
            c.ends.assign(size_t(rows), 0);
        }
    }
    checked_.assign(size_t(rows), false);
    order_.clear();
    position_.clear();
    sortedColumn_ = -1;
    ++orderStamp_;
    rows_ = rows;
}

qsizetype ListItemsModel::appendRow() {
    if (!loading_) beginInsertRows({}, int(rows_), int(rows_));
    for (auto& c : columns_) c.ends.push_back(uint32_t(c.chars.size()));
    checked_.push_back(false);
    if (!order_.empty()) order_.push_back(uint32_t(rows_));
    position_.clear();
    sortedColumn_ = -1;
    ++orderStamp_;
    for (auto& c : columns_)
        if (c.index.built()) c.index.clear();
    const qsizetype row = rows_++;
    if (!loading_) endInsertRows();
    return row;
}

void ListItemsModel::clear() {
    beginResetModel();
    for (auto& c : columns_) c = Column{};
    for (auto& c : columns_) c.ends.clear();
    checked_.clear();
    order_.clear();
    position_.clear();
    sortedColumn_ = -1;
    rows_ = 0;
    endResetModel();
}

QStringView ListItemsModel::storedText(const Column& c, qsizetype row) const {
    const uint32_t from = row == 0 ? 0 : c.ends[size_t(row - 1)];
    return QStringView(c.chars.data() + from, qsizetype(c.ends[size_t(row)] - from));
}

QStringView ListItemsModel::cellView(qsizetype row, int column) const {
    if (column < 0 || column >= int(columns_.size()) || row < 0 || row >= rows_) return {};
    const Column& c = columns_[size_t(column)];
    if (!c.rewritten.isEmpty()) {
        auto it = c.rewritten.constFind(row);
        if (it != c.rewritten.constEnd()) return *it;
    }
    return storedText(c, row);
}

QString ListItemsModel::cell(qsizetype row, int column) const { return cellView(row, column).toString(); }

void ListItemsModel::setCell(qsizetype row, int column, QStringView text) {
    if (column < 0 || column >= int(columns_.size()) || row < 0 || row >= rows_) return;
    Column& c = columns_[size_t(column)];
    if (column == sortedColumn_) sortedColumn_ = -1;
    if (c.index.built()) c.index.clear();
    // The row just appended takes its cells in the buffer; later writes are kept aside.
    if (row == rows_ - 1 && c.rewritten.isEmpty() && storedText(c, row).isEmpty() && c.chars.size() + text.size() <= UINT32_MAX) {
        c.chars.append(text.utf16(), size_t(text.size()));
        c.ends.back() = uint32_t(c.chars.size());
    } else {
        c.rewritten.insert(row, text.toString());
    }
    if (!loading_) {
        const QModelIndex at = index(int(displayedRow(row)), column);
        emit dataChanged(at, at, {Qt::DisplayRole});
    }
}

void ListItemsModel::setChecked(qsizetype row, bool on) {
    if (row < 0 || row >= rows_) return;
    checked_[size_t(row)] = on;
    if (!loading_) {
        const QModelIndex at = index(int(displayedRow(row)), 0);
        emit dataChanged(at, at, {Qt::CheckStateRole});
    }
}

void ListItemsModel::setCheckable(bool on) {
    if (checkable_ == on) return;
    checkable_ = on;
    if (rows_ > 0 && !columns_.empty()) emit dataChanged(index(0, 0), index(int(rows_ - 1), 0), {Qt::CheckStateRole});
}

void ListItemsModel::prepareSearch(int column) {
    if (column < 0 || column >= int(columns_.size())) return;
    Column& c = columns_[size_t(column)];
    if (c.index.built()) return;
    c.index.build(rows_, [&](uint32_t row) { return cellView(row, column); });
    // The displayed positions too, so the first keystroke only searches.
    c.index.refreshPositions([&](uint32_t row) { return displayedRow(row); }, orderStamp_);
}

ShownRow ListItemsModel::findPrefix(int column, QStringView key) {
    if (column < 0 || column >= int(columns_.size())) return {};
    prepareSearch(column);
    return ShownRow{columns_[size_t(column)].index.firstMatch(
        key, [&](uint32_t row) { return cellView(row, column); },
        [&](uint32_t row) { return displayedRow(row); }, orderStamp_)};
}

ShownRow ListItemsModel::shownOf(StorageRow storage) const {
    if (order_.empty()) return {storage.value};
    if (position_.size() != order_.size()) {
        position_.assign(order_.size(), 0);
        for (size_t i = 0; i < order_.size(); ++i) position_[order_[i]] = uint32_t(i);
    }
    return {qsizetype(position_[size_t(storage.value)])};
}

void ListItemsModel::sortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column >= int(columns_.size())) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<qsizetype> storageOfPersistent;
    storageOfPersistent.reserve(size_t(before.size()));
    for (const QModelIndex& i : before) storageOfPersistent.push_back(storageRow(i.row()));

    // Stable from the order shown now, so equal cells keep their places.
    std::vector<uint32_t> next(static_cast<size_t>(rows_));
    if (order_.empty()) std::iota(next.begin(), next.end(), 0u);
    else next = order_;
    const bool flip = column == sortedColumn_ && order != sortedOrder_ && sameAsPrevious_.size() == next.size();
    const bool already = column == sortedColumn_ && order == sortedOrder_;
    const bool descending = order == Qt::DescendingOrder;
    const RowText text = [&](uint32_t row) { return cellView(row, column); };
    if (already) {
        // nothing changed since the same sort
    } else if (flip) {
        reverseEqualGroups(next, sameAsPrevious_);
    } else if (QLocale().language() == QLocale::C) {
        sortFolded(next, text, descending, sameAsPrevious_);
    } else {
        sortCollated(next, text, rows_, QLocale(), descending, sameAsPrevious_);
    }
    sortedColumn_ = column;
    sortedOrder_ = order;
    order_ = std::move(next);
    position_.clear();
    displayedRow(0);  // the inverse now, with the sort, not at the first search
    ++orderStamp_;
    // Search indexes learn the new order now, so the next keystroke stays quick.
    for (auto& col : columns_)
        col.index.refreshPositions([&](uint32_t row) { return displayedRow(row); }, orderStamp_);

    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after << index(int(displayedRow(storageOfPersistent[size_t(i)])), before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListItemsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_); }
int ListItemsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant ListItemsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    const qsizetype row = storageRow(index.row());
    if (role == Qt::DisplayRole) return cell(row, index.column());
    if (role == Qt::CheckStateRole && checkable_ && index.column() == 0)
        return checked_[size_t(row)] ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ListItemsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    // Only the check mark can be changed from the view; rows are never edited in place.
    if (!index.isValid() || role != Qt::CheckStateRole || !checkable_ || index.column() != 0) return false;
    setChecked(storageRow(index.row()), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ListItemsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (checkable_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

}  // namespace platform
