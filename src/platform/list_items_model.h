#pragma once

#include "platform/row_coordinates.h"
#include "platform/sort/shown_order.h"
#include "platform/text_column.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QLocale>
#include <cstdint>
#include <vector>

namespace platform {

// The rows of a report list: a text per row and column, a check mark per row, kept per
// column as one text column so a million rows stay compact. Rows are appended at the end;
// the order they are shown in is a ShownOrder over them.
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
    // Appends an empty, unchecked row.
    StorageRow appendRow();
    void clear();

    qsizetype count() const { return rows_; }
    // Cells by storage row; column 0 is the row's own text.
    QString cell(StorageRow row, int column) const;
    // The same without a copy; valid until the cell or the rows change.
    QStringView cellView(StorageRow row, int column) const;
    void setCell(StorageRow row, int column, QStringView text);
    bool checked(StorageRow row) const {
        Q_ASSERT(row.value >= 0 && row.value < rows_);
        return checked_[size_t(row.value)];
    }
    void setChecked(StorageRow row, bool on);
    void setCheckable(bool on);
    bool checkable() const { return checkable_; }

    // The shown order: the stored row shown at a place, and where a stored row is shown.
    StorageRow storageOf(ShownRow shown) const { return order_.storageOf(shown); }
    ShownRow shownOf(StorageRow storage) const { return order_.shownOf(storage); }
    // Changes with every change of the shown order.
    uint64_t orderStamp() const { return order_.stamp(); }

    // The locale whose collation sorts the rows (the C locale, by default, compares
    // case-folded characters); its owner sets the user's.
    void setLocale(const QLocale& locale) { locale_ = locale; }
    // Sorts by one column's text, ignoring case, in the locale set; stable.
    void sortBy(int column, Qt::SortOrder order);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Column {
        TextColumn texts;
        QHash<qsizetype, QString> rewritten;  // cells written after their row was appended
    };
    bool holds(StorageRow row, int column) const {
        return column >= 0 && column < int(columns_.size()) && row.value >= 0 && row.value < rows_;
    }

    std::vector<Column> columns_;
    QStringList captions_;
    std::vector<bool> checked_;
    ShownOrder order_;
    QLocale locale_ = QLocale::c();
    qsizetype rows_ = 0;
    bool checkable_ = false;
    bool loading_ = false;
};

}  // namespace platform
