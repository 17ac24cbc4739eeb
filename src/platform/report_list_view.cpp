#include "platform/report_list_view.h"

#include "platform/runtime_error.h"
#include "platform/twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace platform {

ReportListView::ReportListView(QWidget* parent) : QTableView(parent), model_(new ListItemsModel(this)) {
    setModel(model_);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);  // no row is ever measured
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);  // Tab leaves the list, as it leaves every other control
    setSortingEnabled(false);  // the owner decides when and how to sort
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) { emit columnClick(section + 1); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section < int(headers_.size())) headers_[size_t(section)].width = size * twipsPerPixel(logicalDpiX());
    });
}

void ReportListView::clearColumns() {
    headers_.clear();
    model_->setColumnCount(0);
}

void ReportListView::addColumn(const QString& key, const QString& text, double widthTwips) {
    headers_.push_back({key, text, widthTwips, 0});
    model_->setColumnCount(int(headers_.size()));
    model_->setCaption(int(headers_.size()) - 1, text);
    applyColumnWidths();
}

ColumnHeader ReportListView::columnHeader(int position) const {
    if (position < 1 || position > columnHeaderCount()) throw RuntimeError::of(kIndexOutOfBounds);
    ColumnHeader h = headers_[size_t(position - 1)];
    for (int i = 0; i < position - 1; ++i) h.left += headers_[size_t(i)].width;
    return h;
}

void ReportListView::applyColumnWidths() {
    const double tpp = twipsPerPixel(logicalDpiX());
    for (size_t i = 0; i < headers_.size(); ++i) {
        const double width = headers_[i].width;  // setColumnWidth reports back through sectionResized
        setColumnWidth(int(i), qRound(width / tpp));
        headers_[i].width = width;
    }
}

void ReportListView::setSorted(bool on) {
    sorted_ = on;
    if (on) resort();
}

void ReportListView::setSortKey(int key) {
    sortKey_ = key;
    if (sorted_) resort();
}

void ReportListView::setSortOrder(int order) {
    sortOrder_ = order == 0 ? 0 : 1;
    if (sorted_) resort();
}

void ReportListView::setSortState(bool sorted, int key, int order) {
    sorted_ = sorted;
    sortKey_ = key;
    sortOrder_ = order == 0 ? 0 : 1;
    if (sorted_) resort();
}

void ReportListView::resort() {
    if (sortKey_ < 0 || sortKey_ >= columnHeaderCount()) return;
    const Qt::SortOrder order = sortOrder_ == 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    model_->sortBy(sortKey_, order);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(sortKey_, order);
}

qsizetype ReportListView::selectedPosition() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.front().row() + 1;
}

void ReportListView::selectPosition(qsizetype position) {
    if (position < 1 || position > model_->count()) return;
    const QModelIndex at = model_->index(int(position - 1), 0);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ReportListView::ensurePositionVisible(qsizetype position) {
    if (position < 1 || position > model_->count()) return;
    scrollTo(model_->index(int(position - 1), 0), QAbstractItemView::EnsureVisible);
}

// The list's own keys: Space ticks the current row when rows have check boxes; a key that
// types a character starts no search of the list's own (its owner's search boxes search).
void ReportListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        toggleChecked(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ReportListView::toggleChecked(const QModelIndex& at) {
    if (!model_->checkable() || !at.isValid()) return;
    const StorageRow row = model_->storageOf(ShownRow{at.row()});
    model_->setChecked(row, !model_->checked(row));
}

// The row that shows the focus frame is the selected row: Tab into a list with no selection
// selects the row it lands on, so the keys that act on the selected row find it.
void ReportListView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    if (selectionModel() && !selectionModel()->hasSelection() && currentIndex().isValid())
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ReportListView::keyboardSearch(const QString&) {}

void ReportListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) emit dblClick();  // on a row or on the empty part alike
}

}  // namespace platform
