#include "platform/list_items_model.h"

#include <algorithm>

namespace platform {

ListItemsModel::ListItemsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListItemsModel::setColumnCount(int columns) {
    beginResetModel();
    const size_t old = columns_.size();
    columns_.resize(size_t(std::max(columns, 0)));
    for (size_t i = old; i < columns_.size(); ++i) columns_[i].texts.appendEmpty(rows_);  // empty cells
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
    for (auto& c : columns_) c.texts.squeeze();
    endResetModel();
}

void ListItemsModel::reserve(qsizetype rows, const std::vector<size_t>& chars) {
    for (size_t i = 0; i < columns_.size(); ++i)
        columns_[i].texts.reserve(rows, i < chars.size() ? qsizetype(chars[i]) : 0);
    checked_.reserve(checked_.size() + size_t(rows));
}

void ListItemsModel::adoptColumns(std::vector<TextColumn>&& texts, qsizetype rows) {
    for (size_t i = 0; i < columns_.size(); ++i) {
        Column& c = columns_[i];
        c.rewritten.clear();
        if (i < texts.size()) {
            c.texts = std::move(texts[i]);
        } else {
            c.texts.clear();
            c.texts.appendEmpty(rows);
        }
        Q_ASSERT(c.texts.size() == rows);
    }
    checked_.assign(size_t(rows), false);
    order_.reset(rows);
    rows_ = rows;
}

StorageRow ListItemsModel::appendRow() {
    if (!loading_) beginInsertRows({}, int(rows_), int(rows_));
    for (auto& c : columns_) c.texts.appendEmpty(1);
    checked_.push_back(false);
    order_.appendRow();
    const StorageRow row{rows_++};
    Q_ASSERT(order_.size() == rows_);
    if (!loading_) endInsertRows();
    return row;
}

void ListItemsModel::clear() {
    beginResetModel();
    for (auto& c : columns_) c = Column{};
    checked_.clear();
    rows_ = 0;
    order_.reset(0);
    endResetModel();
}

QStringView ListItemsModel::cellView(StorageRow row, int column) const {
    if (!holds(row, column)) return {};
    const Column& c = columns_[size_t(column)];
    if (!c.rewritten.isEmpty()) {
        auto it = c.rewritten.constFind(row.value);
        if (it != c.rewritten.constEnd()) return *it;
    }
    return c.texts.at(row.value);
}

QString ListItemsModel::cell(StorageRow row, int column) const { return cellView(row, column).toString(); }

void ListItemsModel::setCell(StorageRow row, int column, QStringView text) {
    if (!holds(row, column)) return;
    Column& c = columns_[size_t(column)];
    order_.cellChanged(column);
    // The row just appended takes its cells in the buffer; later writes are kept aside.
    if (row.value == rows_ - 1 && c.rewritten.isEmpty() && c.texts.at(row.value).isEmpty() &&
        text.size() <= TextColumn::kMaxChars - c.texts.charCount()) {
        c.texts.extendLast(text);
    } else {
        c.rewritten.insert(row.value, text.toString());
    }
    if (!loading_) {
        const QModelIndex at = index(int(shownOf(row).value), column);
        emit dataChanged(at, at, {Qt::DisplayRole});
    }
}

void ListItemsModel::setChecked(StorageRow row, bool on) {
    if (row.value < 0 || row.value >= rows_) return;
    checked_[size_t(row.value)] = on;
    if (!loading_) {
        const QModelIndex at = index(int(shownOf(row).value), 0);
        emit dataChanged(at, at, {Qt::CheckStateRole});
    }
}

void ListItemsModel::setCheckable(bool on) {
    if (checkable_ == on) return;
    checkable_ = on;
    if (rows_ > 0 && !columns_.empty()) emit dataChanged(index(0, 0), index(int(rows_ - 1), 0), {Qt::CheckStateRole});
}

void ListItemsModel::sortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column >= int(columns_.size())) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<StorageRow> storageOfPersistent;
    storageOfPersistent.reserve(size_t(before.size()));
    for (const QModelIndex& i : before) storageOfPersistent.push_back(storageOf(ShownRow{i.row()}));

    order_.sortBy(column, order == Qt::DescendingOrder,
                  [&](uint32_t row) { return cellView(StorageRow{qsizetype(row)}, column); }, locale_);

    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after << index(int(shownOf(storageOfPersistent[size_t(i)]).value), before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ListItemsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_); }
int ListItemsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant ListItemsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    const StorageRow row = storageOf(ShownRow{index.row()});
    if (role == Qt::DisplayRole) return cell(row, index.column());
    if (role == Qt::CheckStateRole && checkable_ && index.column() == 0)
        return checked_[size_t(row.value)] ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ListItemsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    // Only the check mark can be changed from the view; rows are never edited in place.
    if (!index.isValid() || role != Qt::CheckStateRole || !checkable_ || index.column() != 0) return false;
    setChecked(storageOf(ShownRow{index.row()}), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ListItemsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (checkable_ && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

}  // namespace platform
