#pragma once
// The cells of one card grid: row 0 holds the headers "卡号", "密码", "时间",
// row i the i-th record of a store. Row 0 and column 0 are the grid's header
// cells. The records are read once per fill into memory, so painting and
// scrolling never touch the store and a store of 100 000 cards stays quick.

#include "cards/card.h"
#include "store/record_database.h"

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

namespace zenvik {

class CardGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    CardGridModel(QColor headerColour, QObject* parent = nullptr);

    // Reads every record of the open store at storePath (selected first,
    // since another handler may have left another store current). A store
    // that is not open leaves only the header row. False in that case.
    bool fill(RecordDatabase& db, const Text& storePath);
    // Only the header row.
    void clear();

    // The card of row 1..n.
    const Card& card(int row) const { return cards_[static_cast<std::size_t>(row - 1)]; }
    static bool isHeader(const QModelIndex& index) { return index.row() == 0 || index.column() == 0; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The view shows row 0 in its horizontal header and column 0 in its
    // vertical one, so they stay in place while the cards scroll.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QColor headerColour_;
    std::vector<Card> cards_;
};

} // namespace zenvik
