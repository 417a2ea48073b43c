#include "cards/card_grid.h"

#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>

namespace zenvik {

namespace {

constexpr int kRowHeight = 20;
constexpr int kColumnWidth = 160;

QString rgb(const QColor& colour) {
    return QStringLiteral("rgb(%1, %2, %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

// The header sections and the corner are drawn flat, like the body's cells,
// with the grid's line colour between them; below the last card the header
// column is as blank as the body.
QString gridStyleSheet(const QColor& headerColour) {
    return QStringLiteral("QTableView { background-color: white; color: black;"
                          " gridline-color: rgb(192, 192, 192);"
                          " selection-background-color: rgb(51, 153, 255);"
                          " selection-color: white; }"
                          " QHeaderView { background-color: white; }"
                          " QHeaderView::section, QLabel#corner { background-color: %1; color: black;"
                          " border: none; border-right: 1px solid rgb(192, 192, 192);"
                          " border-bottom: 1px solid rgb(192, 192, 192); padding-left: 3px; }")
        .arg(rgb(headerColour));
}

bool isLeftButton(const QEvent* event, QEvent::Type type) {
    return event->type() == type && static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

} // namespace

CardGrid::CardGrid(const QColor& headerColour, QWidget* parent)
    : QTableView(parent), model_(headerColour), corner_(new QLabel(this)) {
    setModel(&model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setWordWrap(false);
    setUpHeaders();
    setStyleSheet(gridStyleSheet(headerColour));
}

void CardGrid::setUpHeaders() {
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // A current cell would otherwise turn its header sections bold.
        header->setHighlightSections(false);
        header->viewport()->installEventFilter(this);
    }
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    // The headers are the grid's row 0 and column 0, so they take that row's
    // height and that column's width.
    horizontalHeader()->setFixedHeight(kRowHeight);
    verticalHeader()->setFixedWidth(kColumnWidth);
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this,
            [this](int column) { pressHeaderCell(0, column); });
    connect(verticalHeader(), &QHeaderView::sectionPressed, this,
            [this](int row) { pressHeaderCell(row, 0); });

    // Cell (0, 0) belongs to neither header; it covers the corner button.
    setCornerButtonEnabled(false);
    corner_->setText(model_.index(0, 0).data().toString());
    corner_->setObjectName(QStringLiteral("corner"));
    corner_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Its text starts where the header sections' texts start.
    corner_->setIndent(0);
    corner_->installEventFilter(this);

    // The headers show row 0 and column 0, so the body leaves them out; the
    // sections stay hidden when a fill resets the model.
    setRowHidden(0, true);
    setColumnHidden(0, true);
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

void CardGrid::pressHeaderCell(int row, int column) {
    setFocus(Qt::MouseFocusReason);
    if (row == 0) {
        makeCurrent(1, column == 0 ? 1 : column);
    } else {
        makeCurrent(row, 1);
    }
}

void CardGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit leftButtonReleased(event->globalPosition().toPoint());
}

void CardGrid::updateGeometries() {
    QTableView::updateGeometries();
    corner_->setGeometry(verticalHeader()->x(), horizontalHeader()->y(), verticalHeader()->width(),
                         horizontalHeader()->height());
    corner_->raise();
}

bool CardGrid::eventFilter(QObject* watched, QEvent* event) {
    // The headers are part of the grid, so a release over them counts as a
    // release over the grid.
    if (isLeftButton(event, QEvent::MouseButtonRelease)) {
        emit leftButtonReleased(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return watched == corner_;
    }
    if (watched == corner_ && isLeftButton(event, QEvent::MouseButtonPress)) {
        pressHeaderCell(0, 0);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace zenvik
