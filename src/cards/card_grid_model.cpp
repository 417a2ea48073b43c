#include "cards/card_grid_model.h"

#include "platform/qt/qt_text.h"

namespace zenvik {

namespace {

const char* const kHeaders[] = {"卡号", "密码", "时间"};

const Text& field(const Card& card, int column) {
    switch (column) {
    case 0: return card.number;
    case 1: return card.password;
    default: return card.time;
    }
}

} // namespace

CardGridModel::CardGridModel(QColor headerColour, QObject* parent)
    : QAbstractTableModel(parent), headerColour_(headerColour) {}

bool CardGridModel::fill(RecordDatabase& db, const Text& storePath) {
    beginResetModel();
    cards_.clear();
    const bool selected = db.selectStore(storePath);
    if (selected) {
        db.goFirst();
        const std::size_t n = db.recordCount();
        cards_.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            cards_.push_back(Card{db.readField(1), db.readField(2), db.readField(3)});
            db.skipRecord();
        }
    }
    endResetModel();
    return selected;
}

void CardGridModel::clear() {
    beginResetModel();
    cards_.clear();
    endResetModel();
}

int CardGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(cards_.size()) + 1;
}

int CardGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant CardGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
        if (index.row() == 0) return QString::fromUtf8(kHeaders[index.column()]);
        return toQString(field(card(index.row()), index.column()));
    case Qt::BackgroundRole:
        if (isHeader(index)) return headerColour_;
        return {};
    default:
        return {};
    }
}

QVariant CardGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const QModelIndex cell = orientation == Qt::Horizontal ? index(0, section) : index(section, 0);
    return data(cell, role);
}

Qt::ItemFlags CardGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // Header cells take no selection; a click on one is turned into the
    // first cell of its row or column by the view.
    if (isHeader(index)) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace zenvik
