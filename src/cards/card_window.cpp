#include "cards/card_window.h"

#include "cards/card_grid.h"
#include "cards/card_import.h"
#include "cards/refresh_period.h"
#include "platform/qt/integer_edit.h"
#include "platform/qt/qt_text.h"
#include "store/product_catalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <cstdint>

namespace zenvik {

namespace {

// The client area that holds the controls; on the original desktop the outer
// window measured 893 x 496.
constexpr int kClientWidth = 887;
constexpr int kClientHeight = 464;
// The pixel size of the desktop font for which the layout was drawn.
constexpr int kFontPixelSize = 12;

const char* const kNoProduct = "请先在商品列表中选择商品";

// A wait cursor while a long store operation runs.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

template <typename W>
W* place(W* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, int x, int y, int width, int height,
              const char* caption) {
    auto* shown = place(new QLabel(QString::fromUtf8(caption), parent), name, x, y, width, height);
    shown->setWordWrap(true);
    shown->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return shown;
}

QScrollBar* cellScrollBar(QWidget* parent, const char* name, int x, int y) {
    auto* bar = place(new QScrollBar(Qt::Vertical, parent), name, x, y, 19, 189);
    bar->setRange(1, 100);
    bar->setValue(1);
    bar->setPageStep(10);
    bar->setSingleStep(1);
    return bar;
}

} // namespace

CardWindow::CardWindow(const ProgramSettings& settings, RecordDatabase& db, Dialogs& dialogs,
                       TimerFactory& timers, QWidget* parent)
    : QDialog(parent), baseDirectory_(settings.baseDirectory), db_(db), dialogs_(dialogs),
      refreshTimer_(timers.createTimer()),
      cardEditor_([this](const CardEdit& shown) { return editCardInDialog(this, shown); }) {
    setWindowTitle(QStringLiteral("卡密管理平台"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont shownFont = font();
    shownFont.setPixelSize(kFontPixelSize);
    setFont(shownFont);
    setFixedSize(kClientWidth, kClientHeight);
    buildControls();
    connectEvents();
    refreshTimer_->setHandler([this] { refresh(); });
    fillProductCombo();
    reloadGrids();
}

CardWindow::~CardWindow() = default;

int CardWindow::openModal(const ProgramSettings& settings, RecordDatabase& db, Dialogs& dialogs,
                          TimerFactory& timers) {
    CardWindow window(settings, db, dialogs, timers);
    return window.exec();
}

void CardWindow::buildControls() {
    label(this, "标签3", 9, 35, 56, 16, "商品列表");
    label(this, "标签2", 9, 8, 352, 24, "为了减少对资源的占用，可以关闭本窗口。");
    productCombo_ = place(new QComboBox(this), "组合框1", 65, 35, 224, 20);
    productCombo_->setEditable(true);
    productCombo_->setInsertPolicy(QComboBox::NoInsert);
    place(new QPushButton(QStringLiteral("入库"), this), "按钮3", 297, 27, 56, 32);
    label(this, "标签6", 8, 63, 344, 48,
          "批量添加卡密，添加完成点入库按钮入库\n\n注：卡号和密码用一个空格隔开(如：卡号 密码），一行一个");
    importEdit_ = place(new QPlainTextEdit(this), "编辑框4", 6, 113, 344, 329);
    importEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    importEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    label(this, "标签1", 440, 8, 144, 24, "自动刷新时间（单位：秒）");
    refreshPeriodEdit_ = place(new IntegerEdit(INT32_MIN, INT32_MAX, this), "编辑框1", 600, 9, 48, 20);
    autoRefreshCheck_ = place(new QCheckBox(QStringLiteral("开启自动刷新"), this), "选择框1", 656, 6, 112, 24);
    place(new QPushButton(QStringLiteral("刷新"), this), "按钮1", 792, 8, 80, 32);
    label(this, "标签7", 376, 41, 312, 16, "卡密库（已出售卡密自动加入废弃卡密库）");
    stockGrid_ = place(new CardGrid(QColor(240, 240, 240), this), "高级表格1", 376, 57, 536, 192);
    stockScrollBar_ = cellScrollBar(this, "纵向滚动条1", 866, 59);
    label(this, "标签8", 376, 252, 312, 16, "废弃卡密库");
    discardGrid_ = place(new CardGrid(palette().color(QPalette::Button), this), "高级表格2", 376, 272, 536, 192);
    discardScrollBar_ = cellScrollBar(this, "纵向滚动条2", 867, 274);

    stockMenu_ = new QMenu(this);
    stockMenu_->setObjectName(QStringLiteral("cd"));
    discardMenu_ = new QMenu(this);
    discardMenu_->setObjectName(QStringLiteral("ab"));
}

void CardWindow::connectEvents() {
    connect(productCombo_, &QComboBox::activated, this, &CardWindow::selectProduct);
    connect(findChild<QPushButton*>(QStringLiteral("按钮3")), &QPushButton::clicked, this,
            &CardWindow::importCards);
    connect(findChild<QPushButton*>(QStringLiteral("按钮1")), &QPushButton::clicked, this,
            &CardWindow::refresh);
    connect(autoRefreshCheck_, &QCheckBox::clicked, this, &CardWindow::setAutoRefresh);
    connect(stockScrollBar_, &QScrollBar::valueChanged, this,
            [this](int position) { followScrollBar(stockGrid_, stockScrollBar_, position); });
    connect(discardScrollBar_, &QScrollBar::valueChanged, this,
            [this](int position) { followScrollBar(discardGrid_, discardScrollBar_, position); });
    connect(stockGrid_, &CardGrid::leftButtonReleased, this, [this](const QPoint& at) {
        if (stockMenuAllowed()) stockMenu_->popup(at);
    });
    connect(discardGrid_, &CardGrid::leftButtonReleased, this,
            [this](const QPoint& at) { discardMenu_->popup(at); });
    stockMenu_->addAction(QStringLiteral("删除"), this, &CardWindow::deleteStockCard);
    stockMenu_->addAction(QStringLiteral("修改"), this, &CardWindow::editStockCard);
    discardMenu_->addAction(QStringLiteral("清空"), this, &CardWindow::clearSoldCards);
}

void CardWindow::fillProductCombo() {
    products_ = productNames(db_);
    productCombo_->clear();
    for (const Text& product : products_) productCombo_->addItem(toQString(product));
    productCombo_->setCurrentIndex(-1);
}

std::optional<Text> CardWindow::selectedProduct() const {
    const int index = productCombo_->currentIndex();
    if (index < 0 || index >= static_cast<int>(products_.size())) return std::nullopt;
    if (productCombo_->currentText() != productCombo_->itemText(index)) return std::nullopt;
    return products_[static_cast<std::size_t>(index)];
}

void CardWindow::selectProduct(int index) {
    if (index < 0 || index >= static_cast<int>(products_.size())) return;
    const Text& product = products_[static_cast<std::size_t>(index)];
    // Either call fails harmlessly when the store is open already.
    db_.openStore(stockStorePath(baseDirectory_, product));
    db_.openStore(discardStorePath(baseDirectory_, product));
    reloadGrids();
}

void CardWindow::reload(bool keepCurrentRows) {
    BusyCursor busy;
    const std::optional<Text> product = selectedProduct();
    // Without a product the empty path selects no store and the grids keep
    // only their header rows.
    const Text stock = product ? stockStorePath(baseDirectory_, *product) : Text();
    const Text discard = product ? discardStorePath(baseDirectory_, *product) : Text();
    stockGrid_->fill(db_, stock, keepCurrentRows);
    discardGrid_->fill(db_, discard, keepCurrentRows);
}

void CardWindow::reloadGrids() {
    reload(false);
}

void CardWindow::refresh() {
    reload(true);
}

void CardWindow::followScrollBar(CardGrid* grid, QScrollBar* bar, int position) {
    grid->makeCurrent(position, 2);
    bar->setMaximum(grid->cards().rowCount());
}

bool CardWindow::stockMenuAllowed() const {
    return stockGrid_->hasCurrentCell();
}

void CardWindow::setAutoRefresh(bool ticked) {
    const Text period = toNarrowLossy(refreshPeriodEdit_->text());
    refreshTimer_->setPeriod(ticked ? refreshPeriod(period) : 0);
}

void CardWindow::done(int result) {
    refreshTimer_->setPeriod(0);
    QDialog::done(result);
}

void CardWindow::importCards() {
    const std::optional<Text> product = selectedProduct();
    if (!product) {
        dialogs_.inform(text::narrow(kNoProduct));
        return;
    }
    // The edit box ends its lines with "\n"; the stored form of the text
    // ends them with "\r\n".
    QString typed = importEdit_->toPlainText();
    typed.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const std::optional<Text> narrowText = toNarrow(typed);
    if (!narrowText) {
        dialogs_.inform(text::narrow("卡密中有无法保存的字符，没有入库任何卡密"));
        return;
    }
    const ParsedCards parsed = parseCardLines(*narrowText);
    if (!parsed.cards.empty()) {
        BusyCursor busy;
        if (!storeCards(db_, stockStorePath(baseDirectory_, *product), parsed.cards)) {
            dialogs_.inform(text::narrow("入库失败，没有入库任何卡密"));
            return;
        }
    }
    refresh();
    dialogs_.inform(text::narrow(importReport(parsed.cards.size(), parsed.skippedLines)));
}

void CardWindow::clearSoldCards() {
    const std::optional<Text> product = selectedProduct();
    if (!product) {
        dialogs_.inform(text::narrow(kNoProduct));
        return;
    }
    const bool cleared = db_.selectStore(discardStorePath(baseDirectory_, *product)) && db_.clearStore();
    dialogs_.inform(text::narrow(cleared ? "清空成功" : "清空失败"));
    reloadGrids();
}

std::optional<CardWindow::StockCard> CardWindow::currentStockCard() const {
    const std::optional<Text> product = selectedProduct();
    const QModelIndex cell = stockGrid_->currentIndex();
    if (!product || !cell.isValid() || cell.row() < 1) return std::nullopt;
    return StockCard{stockStorePath(baseDirectory_, *product), stockGrid_->cards().card(cell.row())};
}

bool CardWindow::findCard(const Text& storePath, const Card& card) {
    if (!db_.selectStore(storePath)) return false;
    db_.goFirst();
    return db_.findRecord([&] {
        return db_.readField(1) == card.number && db_.readField(2) == card.password &&
               db_.readField(3) == card.time;
    });
}

void CardWindow::deleteStockCard() {
    const std::optional<StockCard> chosen = currentStockCard();
    if (!chosen) return;
    const Text question = text::narrow("确定要删除这张卡密吗？\n卡号：") + chosen->card.number +
                          text::narrow("\n密码：") + chosen->card.password;
    if (!dialogs_.askYesNo(question)) return;
    // The question ran a nested loop in which a delivery may have taken
    // cards, so the card is looked up by its contents, not by its row.
    if (!findCard(chosen->storePath, chosen->card)) {
        dialogs_.inform(text::narrow("这张卡密已不在卡密库中"));
    } else if (!(db_.deleteRecord() && db_.purgeDeleted())) {
        dialogs_.inform(text::narrow("删除失败"));
    }
    refresh();
}

void CardWindow::editStockCard() {
    const std::optional<StockCard> chosen = currentStockCard();
    if (!chosen) return;
    const std::optional<CardEdit> edited =
        cardEditor_(CardEdit{toQString(chosen->card.number), toQString(chosen->card.password)});
    if (!edited) return;
    const std::optional<Text> number = toNarrow(edited->number);
    const std::optional<Text> password = toNarrow(edited->password);
    if (!number || !password) {
        dialogs_.inform(text::narrow("卡号或密码中有无法保存的字符，没有修改"));
        return;
    }
    // An empty field would make deliveries take the stock for sold out.
    if (number->empty() || password->empty()) {
        dialogs_.inform(text::narrow("卡号和密码都不能为空，没有修改"));
        return;
    }
    if (!findCard(chosen->storePath, chosen->card)) {
        dialogs_.inform(text::narrow("这张卡密已不在卡密库中"));
    } else if (!db_.updateRecord({*number, *password, chosen->card.time})) {
        dialogs_.inform(text::narrow("修改失败"));
    }
    refresh();
}

} // namespace zenvik
