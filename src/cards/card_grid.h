#pragma once
// A card grid: a table of three columns whose row 0 and column 0 are header
// cells. The model and every caller speak grid coordinates; the view shows
// row 0 in its horizontal header, column 0 in its vertical header and cell
// (0, 0) over the corner button, so the headers stay in place while the
// cards scroll and the seller resizes rows and columns by their sections.
// Single-cell selection; a click on a header cell makes the first cell of
// that row or column current, since header cells are never current.

#include "cards/card_grid_model.h"

#include <QTableView>

class QLabel;

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
    void mouseReleaseEvent(QMouseEvent* event) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpHeaders();
    void pressHeaderCell(int row, int column);

    CardGridModel model_;
    // Made before the model is set, as setting it lays out the corner.
    QLabel* corner_;
};

} // namespace zenvik
