#pragma once
// CardWindow "卡密管理平台": one product's unsold cards (StockGrid) and sold
// cards (DiscardGrid), card import, clearing the sold cards and an
// auto-refresh timer. It reads and writes the stores only through
// RecordDatabase, and selects the selected product's store by its full path
// in every handler, since a delivery may change the current store between two
// events of this window.

#include "cards/card.h"
#include "cards/card_edit_dialog.h"
#include "platform/dialogs.h"
#include "platform/settings.h"
#include "platform/timer.h"
#include "store/record_database.h"

#include <QDialog>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QMenu;
class QPlainTextEdit;
class QScrollBar;

namespace zenvik {

class CardGrid;
class IntegerEdit;

class CardWindow : public QDialog {
    Q_OBJECT
public:
    // Without a parent the window is a top-level window with a taskbar button
    // of its own, as the main window has none.
    CardWindow(const ProgramSettings& settings, RecordDatabase& db, Dialogs& dialogs,
               TimerFactory& timers, QWidget* parent = nullptr);
    ~CardWindow() override;

    // Creates the window afresh, shows it application-modal and returns when
    // it is closed. The caller's timers keep ticking meanwhile.
    static int openModal(const ProgramSettings& settings, RecordDatabase& db, Dialogs& dialogs,
                         TimerFactory& timers);

    // The product of ProductCombo's selected list item; nothing when no item
    // is selected or the typed text no longer names it.
    std::optional<Text> selectedProduct() const;

    // Event handlers, public so that tests can run them directly.
    void selectProduct(int index);
    void reloadGrids();
    void refresh();
    void importCards();
    void clearSoldCards();
    void deleteStockCard();
    void editStockCard();
    void setAutoRefresh(bool ticked);
    // StockMenu is offered only while StockGrid has a current cell.
    bool stockMenuAllowed() const;

    const Timer& refreshTimer() const { return *refreshTimer_; }
    // Tests answer the card dialog through this.
    void setCardEditor(CardEditor editor) { cardEditor_ = std::move(editor); }

    void done(int result) override;

private:
    void buildControls();
    void connectEvents();
    void fillProductCombo();
    void reload(bool keepCurrentRows);
    void followScrollBar(CardGrid* grid, QScrollBar* bar, int position);
    // The unsold card at StockGrid's current cell, with its store's path.
    struct StockCard {
        Text storePath;
        Card card;
    };
    std::optional<StockCard> currentStockCard() const;
    // Makes the record equal to card the current record of the store at
    // storePath; false when the store is not open or holds no such card.
    bool findCard(const Text& storePath, const Card& card);

    Text baseDirectory_;
    RecordDatabase& db_;
    Dialogs& dialogs_;
    std::unique_ptr<Timer> refreshTimer_;
    CardEditor cardEditor_;
    std::vector<Text> products_;

    QComboBox* productCombo_ = nullptr;
    QPlainTextEdit* importEdit_ = nullptr;
    IntegerEdit* refreshPeriodEdit_ = nullptr;
    QCheckBox* autoRefreshCheck_ = nullptr;
    CardGrid* stockGrid_ = nullptr;
    CardGrid* discardGrid_ = nullptr;
    QScrollBar* stockScrollBar_ = nullptr;
    QScrollBar* discardScrollBar_ = nullptr;
    QMenu* stockMenu_ = nullptr;
    QMenu* discardMenu_ = nullptr;
};

} // namespace zenvik
