#pragma once
// A card grid: a table of three columns whose row 0 and column 0 are header
// cells. Single-cell selection; a click on a header cell makes the first
// cell of that row or column current, since header cells are never current.

#include "cards/card_grid_model.h"

#include <QTableView>

namespace zenvik {

class CardGrid : public QTableView {
    Q_OBJECT
public:
    CardGrid(const QColor& headerColour, QWidget* parent = nullptr);

    CardGridModel& cards() { return model_; }
    const CardGridModel& cards() const { return model_; }

    // Fills the grid from the open store at storePath; the grid has no
    // current cell afterwards. keepCurrentRow keeps the row of the current
    // cell when that row still exists.
    void fill(RecordDatabase& db, const Text& storePath, bool keepCurrentRow = false);

    bool hasCurrentCell() const { return currentIndex().isValid(); }
    // Makes (row, column) current and scrolls to it; false, leaving the grid
    // as it was, when there is no such cell.
    bool makeCurrent(int row, int column);

signals:
    void leftButtonReleased(const QPoint& globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    QModelIndex firstCellFor(const QModelIndex& header) const;

    CardGridModel model_;
};

} // namespace zenvik
