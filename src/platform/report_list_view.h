#pragma once

#include "platform/list_items_model.h"

#include <QTableView>
#include <vector>

namespace platform {

// A column header of a report list: key, caption and width in twips; its left edge is
// the sum of the widths before it.
struct ColumnHeader {
    QString key;
    QString text;
    double width = 0;
    double left = 0;
};

// A list in report view: column headers, rows with a text,
// sub-items and an optional check mark, sorting by one column, a selected row. A table
// view with fixed row heights: it keeps nothing per row, so a million rows scroll and
// select as quickly as ten.
// Row positions and column header positions count from 1; a cell's column (a sub-item's
// index, the sort key) counts from 0, 0 being the row's own text.
class ReportListView : public QTableView {
    Q_OBJECT
public:
    explicit ReportListView(QWidget* parent = nullptr);

    ListItemsModel& items() { return *model_; }
    const ListItemsModel& items() const { return *model_; }

    // Column headers.
    void clearColumns();
    void addColumn(const QString& key, const QString& text, double widthTwips);
    int columnHeaderCount() const { return int(headers_.size()); }
    ColumnHeader columnHeader(int position) const;  // 1-based

    // The stored row at a position (none past the rows), and the position of a stored row.
    StorageRow storageOf(Position position) const {
        if (!position.valid() || position.value > model_->count()) return {};
        return model_->storageOf(shownRowOf(position));
    }
    Position positionOf(StorageRow row) const { return platform::positionOf(model_->shownOf(row)); }

    // Rows in displayed order (1-based positions).
    QString itemText(qsizetype position) const { return model_->cell(storageOf(Position{position}), 0); }
    QString subItem(qsizetype position, int index) const { return model_->cell(storageOf(Position{position}), index); }
    // Cell `column` (0 the row's text) of a displayed row, without a copy.
    QStringView cellView(qsizetype position, int column) const {
        return model_->cellView(storageOf(Position{position}), column);
    }

    // Check boxes beside the rows.
    void setCheckboxes(bool on) { model_->setCheckable(on); }
    bool checkboxes() const { return model_->checkable(); }

    // Sorting: by column SortKey (0-based), SortOrder 0 ascending or 1 descending.
    bool sorted() const { return sorted_; }
    void setSorted(bool on);
    int sortKey() const { return sortKey_; }
    void setSortKey(int key);
    int sortOrder() const { return sortOrder_; }
    void setSortOrder(int order);
    // All three at once, sorting once.
    void setSortState(bool sorted, int key, int order);

    // The selected row's position, 0 when there is none; selecting also makes it current.
    qsizetype selectedPosition() const;
    void selectPosition(qsizetype position);
    void ensurePositionVisible(qsizetype position);

    void keyboardSearch(const QString& search) override;
    // Ticks or unticks a row (any column of it) when rows have check boxes.
    void toggleChecked(const QModelIndex& at);

signals:
    // A header was clicked; its position from 1.
    void columnClick(int position);
    // A double click with the left button anywhere on the rows' area.
    void dblClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void resort();
    void applyColumnWidths();

    ListItemsModel* model_;
    std::vector<ColumnHeader> headers_;
    bool sorted_ = false;
    int sortKey_ = 0;
    int sortOrder_ = 0;
};

}  // namespace platform
