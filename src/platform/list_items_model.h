#pragma once

#include "platform/pod_buffer.h"
#include "platform/prefix_index.h"
#include "platform/row_coordinates.h"

#include <QAbstractTableModel>
#include <QHash>
#include <cstdint>
#include <vector>

namespace platform {

// The rows of a report list: a text per row and column, a check mark per row, kept per
// column as one UTF-16 buffer with end offsets so a million rows stay compact. Rows are
// appended at the end; the displayed order is a permutation over them, kept by sorting.
class ListItemsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListItemsModel(QObject* parent = nullptr);

    // Columns and their captions.
    void setColumnCount(int columns);
    void setCaption(int column, const QString& caption);

    // Loading: begin, append rows and set the cells of the row just appended, end. The
    // view hears of the whole load as one reset.
    void beginLoad();
    void endLoad();
    // Room for `rows` more rows and, per column, `chars` more characters.
    void reserve(qsizetype rows, const std::vector<size_t>& chars);
    // Loads a whole result at once into an empty list, taking the columns' buffers over
    // instead of copying them; columns beyond those given get empty cells. Call between
    // beginLoad and endLoad.
    void adoptColumns(std::vector<TextColumn>&& texts, qsizetype rows);
    // Appends an empty, unchecked row; returns its storage number.
    qsizetype appendRow();
    void clear();

    qsizetype count() const { return rows_; }
    // Cells by storage row; column 0 is the row's own text.
    QString cell(qsizetype row, int column) const;
    // The same without a copy; valid until the cell or the rows change.
    QStringView cellView(qsizetype row, int column) const;
    void setCell(qsizetype row, int column, QStringView text);
    bool checked(qsizetype row) const { return checked_[size_t(row)]; }
    void setChecked(qsizetype row, bool on);
    void setCheckable(bool on);
    bool checkable() const { return checkable_; }

    // Displayed order: the stored row shown at a place, and where a stored row is shown.
    StorageRow storageOf(ShownRow shown) const {
        return {order_.empty() ? shown.value : qsizetype(order_[size_t(shown.value)])};
    }
    ShownRow shownOf(StorageRow storage) const;
    // The same with plain numbers (0-based shown rows).
    qsizetype storageRow(qsizetype displayed) const { return storageOf(ShownRow{displayed}).value; }
    qsizetype displayedRow(qsizetype storage) const { return shownOf(StorageRow{storage}).value; }

    // The first shown row whose cell in `column`, blanks trimmed, starts with `key`
    // ignoring case; none when no row does. Each column gets an index on first use.
    ShownRow findPrefix(int column, QStringView key);
    // Builds that column's index now (when a search box takes the focus, say).
    void prepareSearch(int column);

    // Sorts by one column's text, ignoring case and following the system locale; stable.
    // Sorting the column just sorted the other way round only reverses its groups of
    // equal cells, without comparing again.
    void sortBy(int column, Qt::SortOrder order);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Column {
        PodBuffer<char16_t> chars;
        PodBuffer<uint32_t> ends;
        QHash<qsizetype, QString> rewritten;  // cells written after their row was appended
        PrefixIndex index;                    // built on the first search of the column
    };
    QStringView storedText(const Column& c, qsizetype row) const;

    std::vector<Column> columns_;
    QStringList captions_;
    std::vector<bool> checked_;
    std::vector<uint32_t> order_;  // empty: storage order
    mutable std::vector<uint32_t> position_;  // inverse of order_, built on demand
    qsizetype rows_ = 0;
    // The last sort, while nothing has changed since: its column, its order and, per
    // displayed position, whether the row's cell equals the previous row's.
    int sortedColumn_ = -1;
    Qt::SortOrder sortedOrder_ = Qt::AscendingOrder;
    std::vector<bool> sameAsPrevious_;
    uint64_t orderStamp_ = 0;  // changes with every change of the displayed order
    bool checkable_ = false;
    bool loading_ = false;
};

}  // namespace platform
