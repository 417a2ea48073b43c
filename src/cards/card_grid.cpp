#include "cards/card_grid.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace zenvik {

namespace {

constexpr int kRowHeight = 20;
constexpr int kColumnWidth = 160;

} // namespace

CardGrid::CardGrid(const QColor& headerColour, QWidget* parent)
    : QTableView(parent), model_(headerColour) {
    setModel(&model_);
    // Row 0 and column 0 of the model are the header cells, so the view's
    // own headers stay hidden.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setWordWrap(false);
    setStyleSheet(QStringLiteral("QTableView { background-color: white; color: black;"
                                 " gridline-color: rgb(192, 192, 192);"
                                 " selection-background-color: rgb(51, 153, 255);"
                                 " selection-color: white; }"));
}

void CardGrid::fill(RecordDatabase& db, const Text& storePath, bool keepCurrentRow) {
    const QModelIndex before = currentIndex();
    model_.fill(db, storePath);
    if (keepCurrentRow && before.isValid()) makeCurrent(before.row(), before.column());
}

bool CardGrid::makeCurrent(int row, int column) {
    const QModelIndex cell = model_.index(row, column);
    if (!cell.isValid() || CardGridModel::isHeader(cell)) return false;
    setCurrentIndex(cell);
    scrollTo(cell);
    return true;
}

QModelIndex CardGrid::firstCellFor(const QModelIndex& header) const {
    if (header.row() == 0) return model_.index(1, header.column() == 0 ? 1 : header.column());
    return model_.index(header.row(), 1);
}

void CardGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (!cell.isValid() || !CardGridModel::isHeader(cell) || event->button() != Qt::LeftButton) {
        QTableView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QModelIndex first = firstCellFor(cell);
    if (first.isValid()) makeCurrent(first.row(), first.column());
}

void CardGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit leftButtonReleased(event->globalPosition().toPoint());
}

QModelIndex CardGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    // The keyboard stops at the header cells instead of entering them.
    return next.isValid() && CardGridModel::isHeader(next) ? currentIndex() : next;
}

} // namespace zenvik
