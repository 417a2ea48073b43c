#include "cards/card_grid.h"
#include "cards/card_window.h"

#include "fake_dialogs.h"
#include "platform/manual_clock.h"
#include "platform/qt/qt_text.h"
#include "store/product_catalogue.h"
#include "store_records.h"
#include "temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace zenvik {
namespace {

using text::narrow;

// A catalogue of three products: 卡A and 卡B have their two stores, 缺 has
// none (its files are missing).
class CardWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = dir.base();
        std::filesystem::create_directory(dir.path() / "sp");
        const Text catalogue = cataloguePath(base);
        ASSERT_TRUE(db.createStore(catalogue, catalogueFields()));
        ASSERT_TRUE(db.openStore(catalogue));
        for (const Text& product : {productA, productB, missing}) ASSERT_TRUE(db.addRecord({product}));
        for (const Text& product : {productA, productB}) {
            for (const Text& path : {stockStorePath(base, product), discardStorePath(base, product)}) {
                ASSERT_TRUE(db.createStore(path, cardFields()));
                ASSERT_TRUE(db.openStore(path));
            }
        }
        settings.baseDirectory = base;
    }

    void addCards(const Text& path, std::initializer_list<Card> cards) {
        ASSERT_TRUE(db.selectStore(path));
        for (const Card& card : cards) ASSERT_TRUE(db.addRecord({card.number, card.password, card.time}));
    }
    void addNumbered(const Text& path, int count) {
        ASSERT_TRUE(db.selectStore(path));
        for (int i = 1; i <= count; ++i) {
            const Text n = std::to_string(i);
            ASSERT_TRUE(db.addRecord({"n" + n, "p" + n, "t" + n}));
        }
    }

    std::vector<Card> records(const Text& path) {
        std::vector<Card> cards;
        for (const auto& r : test::readStore(db, path)) cards.push_back({r[0], r[1], r[2]});
        return cards;
    }

    CardWindow& open() {
        window = std::make_unique<CardWindow>(settings, db, dialogs, clock);
        return *window;
    }
    // Picks the product as the seller does in the drop-down list.
    void choose(int index) {
        combo()->setCurrentIndex(index);
        window->selectProduct(index);
    }

    template <typename W>
    W* control(const char* name) {
        W* found = window->findChild<W*>(QString::fromUtf8(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QComboBox* combo() { return control<QComboBox>("组合框1"); }
    CardGrid* stockGrid() { return control<CardGrid>("高级表格1"); }
    CardGrid* discardGrid() { return control<CardGrid>("高级表格2"); }
    QString cell(CardGrid* grid, int row, int column) {
        return grid->model()->index(row, column).data().toString();
    }
    void expectHeaderOnly(CardGrid* grid) {
        EXPECT_EQ(grid->model()->rowCount(), 1);
        EXPECT_EQ(cell(grid, 0, 0), QStringLiteral("卡号"));
        EXPECT_EQ(cell(grid, 0, 1), QStringLiteral("密码"));
        EXPECT_EQ(cell(grid, 0, 2), QStringLiteral("时间"));
    }
    void import(const QString& typed) {
        control<QPlainTextEdit>("编辑框4")->setPlainText(typed);
        control<QPushButton>("按钮3")->click();
    }
    // Where grid cell (row, column) is drawn: the header row and column are
    // the view's headers and cell (0, 0) is the label over their corner.
    struct Spot {
        QWidget* widget;
        QPoint point;
    };
    static Spot spotOf(CardGrid* grid, int row, int column) {
        if (row == 0 && column == 0) {
            auto* corner = grid->findChild<QLabel*>(QStringLiteral("corner"));
            return {corner, corner->rect().center()};
        }
        if (row == 0) return {grid->horizontalHeader()->viewport(), sectionMiddle(grid->horizontalHeader(), column)};
        if (column == 0) return {grid->verticalHeader()->viewport(), sectionMiddle(grid->verticalHeader(), row)};
        return {grid->viewport(), grid->visualRect(grid->model()->index(row, column)).center()};
    }
    static QPoint sectionMiddle(QHeaderView* header, int section) {
        const int along = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        const int across = header->orientation() == Qt::Horizontal ? header->height() : header->width();
        return header->orientation() == Qt::Horizontal ? QPoint(along, across / 2) : QPoint(across / 2, along);
    }
    void clickCell(CardGrid* grid, int row, int column) {
        const Spot spot = spotOf(grid, row, column);
        QTest::mouseClick(spot.widget, Qt::LeftButton, {}, spot.point);
    }

    test::TempDir dir;
    Text base;
    RecordDatabase db;
    ProgramSettings settings;
    test::FakeDialogs dialogs;
    ManualClock clock;
    std::unique_ptr<CardWindow> window;
    const Text productA = narrow("卡A");
    const Text productB = narrow("卡B");
    const Text missing = narrow("缺");
};

TEST_F(CardWindowTest, OpensWithItsControlsInPlace) {
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("卡密管理平台"));
    EXPECT_EQ(window->size(), QSize(887, 464));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    struct Place {
        const char* name;
        QRect geometry;
        const char* caption;  // of a label, button or check box
    } const places[] = {
        {"标签3", {9, 35, 56, 16}, "商品列表"},
        {"标签2", {9, 8, 352, 24}, "为了减少对资源的占用，可以关闭本窗口。"},
        {"组合框1", {65, 35, 224, 20}, nullptr},
        {"按钮3", {297, 27, 56, 32}, "入库"},
        {"标签6", {8, 63, 344, 48},
         "批量添加卡密，添加完成点入库按钮入库\n\n注：卡号和密码用一个空格隔开(如：卡号 密码），一行一个"},
        {"编辑框4", {6, 113, 344, 329}, nullptr},
        {"标签1", {440, 8, 144, 24}, "自动刷新时间（单位：秒）"},
        {"编辑框1", {600, 9, 48, 20}, nullptr},
        {"选择框1", {656, 6, 112, 24}, "开启自动刷新"},
        {"按钮1", {792, 8, 80, 32}, "刷新"},
        {"标签7", {376, 41, 312, 16}, "卡密库（已出售卡密自动加入废弃卡密库）"},
        {"高级表格1", {376, 57, 536, 192}, nullptr},
        {"纵向滚动条1", {866, 59, 19, 189}, nullptr},
        {"标签8", {376, 252, 312, 16}, "废弃卡密库"},
        {"高级表格2", {376, 272, 536, 192}, nullptr},
        {"纵向滚动条2", {867, 274, 19, 189}, nullptr},
    };
    for (const Place& place : places) {
        QWidget* widget = control<QWidget>(place.name);
        if (widget == nullptr) continue;
        EXPECT_EQ(widget->geometry(), place.geometry) << place.name;
        if (place.caption == nullptr) continue;
        const QString caption = QString::fromUtf8(place.caption);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), caption) << place.name;
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), caption) << place.name;
        } else {
            ADD_FAILURE() << place.name << " has no caption";
        }
    }
    for (const char* name : {"纵向滚动条1", "纵向滚动条2"}) {
        QScrollBar* bar = control<QScrollBar>(name);
        EXPECT_EQ(bar->minimum(), 1);
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->value(), 1);
        EXPECT_EQ(bar->pageStep(), 10);
        EXPECT_EQ(bar->singleStep(), 1);
    }
    EXPECT_FALSE(control<QCheckBox>("选择框1")->isChecked());
    EXPECT_TRUE(control<QLineEdit>("编辑框1")->text().isEmpty());
    EXPECT_EQ(window->refreshTimer().period(), 0);
    QStringList menu;
    for (QAction* action : control<QMenu>("cd")->actions()) menu << action->text();
    EXPECT_EQ(menu, QStringList({QStringLiteral("删除"), QStringLiteral("修改")}));
    ASSERT_EQ(control<QMenu>("ab")->actions().size(), 1);
    EXPECT_EQ(control<QMenu>("ab")->actions()[0]->text(), QStringLiteral("清空"));
}

TEST_F(CardWindowTest, ListsTheCatalogueInOrderWithNothingSelected) {
    open();
    ASSERT_EQ(combo()->count(), 3);
    EXPECT_EQ(combo()->itemText(0), QStringLiteral("卡A"));
    EXPECT_EQ(combo()->itemText(1), QStringLiteral("卡B"));
    EXPECT_EQ(combo()->itemText(2), QStringLiteral("缺"));
    EXPECT_EQ(combo()->currentIndex(), -1);
    EXPECT_TRUE(combo()->isEditable());
    EXPECT_FALSE(window->selectedProduct());
    expectHeaderOnly(stockGrid());
    expectHeaderOnly(discardGrid());
}

TEST_F(CardWindowTest, GridsHeaderCellsAreShaded) {
    open();
    const QModelIndex header = stockGrid()->model()->index(0, 1);
    EXPECT_EQ(header.data(Qt::BackgroundRole).value<QColor>(), QColor(240, 240, 240));
    EXPECT_EQ(discardGrid()->model()->index(0, 1).data(Qt::BackgroundRole).value<QColor>(),
              window->palette().color(QPalette::Button));
    EXPECT_FALSE(header.flags().testFlag(Qt::ItemIsEditable));
    EXPECT_EQ(stockGrid()->horizontalHeader()->height(), 20);  // row 0
    EXPECT_EQ(stockGrid()->verticalHeader()->width(), 160);    // column 0
    EXPECT_EQ(stockGrid()->columnWidth(2), 160);
    EXPECT_EQ(stockGrid()->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(CardWindowTest, HeaderCellsAreDrawnInTheirShade) {
    addNumbered(stockStorePath(base, productA), 1);
    addNumbered(discardStorePath(base, productA), 1);
    open();
    window->show();
    choose(0);
    struct Case {
        CardGrid* grid;
        QColor shade;
    } const cases[] = {{stockGrid(), QColor(240, 240, 240)},
                       {discardGrid(), window->palette().color(QPalette::Button)}};
    for (const Case& c : cases) {
        // The middle of each of these cells is blank, its short text standing
        // at the left.
        for (const QPoint& cell : {QPoint(0, 0), QPoint(1, 0), QPoint(2, 0), QPoint(0, 1)}) {
            const Spot spot = spotOf(c.grid, cell.y(), cell.x());
            EXPECT_EQ(spot.widget->grab().toImage().pixelColor(spot.point), c.shade)
                << c.grid->objectName().toStdString() << " row " << cell.y() << " column " << cell.x();
        }
    }
}

TEST_F(CardWindowTest, HeadersStayInPlaceWhileTheCardsScroll) {
    addNumbered(stockStorePath(base, productA), 100);
    open();
    window->show();
    choose(0);
    CardGrid* grid = stockGrid();
    QHeaderView* top = grid->horizontalHeader();
    QHeaderView* left = grid->verticalHeader();
    const QRect topPlace = top->geometry();
    control<QScrollBar>("纵向滚动条1")->setValue(100);  // the last card
    ASSERT_EQ(grid->currentIndex(), grid->model()->index(100, 2));
    ASSERT_GT(grid->verticalScrollBar()->value(), 0);

    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(top->geometry(), topPlace);
    EXPECT_TRUE(top->isSectionHidden(0));
    EXPECT_EQ(top->logicalIndexAt(sectionMiddle(top, 1)), 1);
    EXPECT_EQ(top->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("密码"));
    EXPECT_EQ(top->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("时间"));
    auto* corner = grid->findChild<QLabel*>(QStringLiteral("corner"));
    EXPECT_TRUE(corner->isVisible());
    EXPECT_EQ(corner->text(), QStringLiteral("卡号"));

    // The card numbers down the left are those of the rows beside them.
    const int firstShown = grid->rowAt(0);
    const int lastShown = grid->rowAt(grid->viewport()->height() - 1);
    EXPECT_GT(firstShown, 1);
    EXPECT_EQ(lastShown, 100);
    for (const int row : {firstShown, lastShown}) {
        EXPECT_EQ(left->logicalIndexAt(grid->rowViewportPosition(row)), row);
        EXPECT_EQ(left->model()->headerData(row, Qt::Vertical).toString(), QStringLiteral("n%1").arg(row));
    }
}

TEST_F(CardWindowTest, SellerResizesRowsAndColumnsByDraggingTheirEdges) {
    addNumbered(stockStorePath(base, productA), 3);
    open();
    window->show();
    choose(0);
    CardGrid* grid = stockGrid();
    struct Case {
        QHeaderView* header;
        int section, before, after;
    } const cases[] = {{grid->horizontalHeader(), 1, 160, 200}, {grid->verticalHeader(), 2, 20, 35}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.header->sectionResizeMode(c.section), QHeaderView::Interactive);
        ASSERT_EQ(c.header->sectionSize(c.section), c.before);
        const int edge = c.header->sectionViewportPosition(c.section) + c.before - 1;
        const QPoint middle = sectionMiddle(c.header, c.section);
        const auto at = [&](int along) {
            return c.header->orientation() == Qt::Horizontal ? QPoint(along, middle.y()) : QPoint(middle.x(), along);
        };
        QTest::mousePress(c.header->viewport(), Qt::LeftButton, {}, at(edge));
        QTest::mouseMove(c.header->viewport(), at(edge + c.after - c.before));
        QTest::mouseRelease(c.header->viewport(), Qt::LeftButton, {}, at(edge + c.after - c.before));
        EXPECT_EQ(c.header->sectionSize(c.section), c.after);
        control<QMenu>("cd")->hide();
    }
}

TEST_F(CardWindowTest, SelectingAProductShowsItsUnsoldAndSoldCards) {
    addCards(stockStorePath(base, productA), {{"c1", "p1", "t1"}, {"c2", "p2", "t2"}, {"c3", "p3", "t3"}});
    addCards(stockStorePath(base, productB), {{"b1", "q1", "u1"}});
    open();
    choose(0);
    ASSERT_EQ(stockGrid()->model()->rowCount(), 4);
    expectHeaderOnly(discardGrid());
    EXPECT_EQ(cell(stockGrid(), 1, 0), "c1");
    EXPECT_EQ(cell(stockGrid(), 3, 1), "p3");
    EXPECT_EQ(cell(stockGrid(), 2, 2), "t2");
    EXPECT_FALSE(stockGrid()->hasCurrentCell());

    choose(1);
    ASSERT_EQ(stockGrid()->model()->rowCount(), 2);
    EXPECT_EQ(cell(stockGrid(), 1, 0), "b1");
}

TEST_F(CardWindowTest, ChangesShowOnlyWhenTheGridsAreFilledAgain) {
    open();
    choose(0);
    addCards(stockStorePath(base, productA), {{"c1", "p1", "t1"}});
    expectHeaderOnly(stockGrid());
    control<QPushButton>("按钮1")->click();
    EXPECT_EQ(stockGrid()->model()->rowCount(), 2);
}

TEST_F(CardWindowTest, ProductWithoutStoreFilesShowsHeadersOnly) {
    addCards(stockStorePath(base, productA), {{"c1", "p1", "t1"}});
    open();
    choose(0);
    choose(2);
    expectHeaderOnly(stockGrid());
    expectHeaderOnly(discardGrid());
}

TEST_F(CardWindowTest, ClearEmptiesTheSoldCardsOnly) {
    addCards(stockStorePath(base, productA), {{"c1", "p1", "t1"}});
    addCards(discardStorePath(base, productA), {{"s1", "x1", "v1"}, {"s2", "x2", "v2"}});
    open();
    choose(0);
    ASSERT_EQ(discardGrid()->model()->rowCount(), 3);
    control<QMenu>("ab")->actions()[0]->trigger();
    EXPECT_EQ(dialogs.messages, std::vector<Text>{narrow("清空成功")});
    expectHeaderOnly(discardGrid());
    EXPECT_EQ(stockGrid()->model()->rowCount(), 2);
    EXPECT_TRUE(records(discardStorePath(base, productA)).empty());
    EXPECT_EQ(records(stockStorePath(base, productA)).size(), 1u);
}

TEST_F(CardWindowTest, ClearNeverEmptiesAnotherProductsStore) {
    addCards(discardStorePath(base, productA), {{"s1", "x1", "v1"}});
    open();
    choose(0);
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* message;
    } const cases[] = {
        {"no product selected", [&] { combo()->setCurrentIndex(-1); }, "请先在商品列表中选择商品"},
        {"typed text names no product", [&] { combo()->setEditText(QStringLiteral("卡")); },
         "请先在商品列表中选择商品"},
        {"product without store files", [&] { choose(2); }, "清空失败"},
    };
    for (const Case& c : cases) {
        choose(0);
        c.arrange();
        dialogs.messages.clear();
        control<QMenu>("ab")->actions()[0]->trigger();
        EXPECT_EQ(dialogs.messages, std::vector<Text>{narrow(c.message)}) << c.name;
        EXPECT_EQ(records(discardStorePath(base, productA)).size(), 1u) << c.name;
    }
}

TEST_F(CardWindowTest, ScrollBarMovesTheCurrentCell) {
    addNumbered(stockStorePath(base, productA), 5);
    open();
    choose(0);
    QScrollBar* bar = control<QScrollBar>("纵向滚动条1");
    bar->setValue(3);
    EXPECT_EQ(stockGrid()->currentIndex(), stockGrid()->model()->index(3, 2));
    EXPECT_EQ(bar->maximum(), 6);
    EXPECT_EQ(bar->minimum(), 1);

    // Position 6 names no row: the grid stays as it was.
    bar->setValue(6);
    EXPECT_EQ(stockGrid()->currentIndex(), stockGrid()->model()->index(3, 2));

    QScrollBar* discardBar = control<QScrollBar>("纵向滚动条2");
    discardBar->setValue(4);
    EXPECT_FALSE(discardGrid()->hasCurrentCell());
    EXPECT_EQ(discardBar->maximum(), 1);
}

TEST_F(CardWindowTest, StockMenuNeedsACurrentCell) {
    addNumbered(stockStorePath(base, productA), 3);
    open();
    window->show();
    choose(0);
    QMenu* stockMenu = control<QMenu>("cd");
    QMenu* discardMenu = control<QMenu>("ab");

    // Right after a fill there is no current cell: no menu.
    EXPECT_FALSE(window->stockMenuAllowed());
    QTest::mouseRelease(stockGrid()->viewport(), Qt::LeftButton, {}, QPoint(200, 50));
    EXPECT_FALSE(stockMenu->isVisible());

    clickCell(stockGrid(), 2, 1);
    EXPECT_EQ(stockGrid()->currentIndex(), stockGrid()->model()->index(2, 1));
    EXPECT_TRUE(window->stockMenuAllowed());
    EXPECT_TRUE(stockMenu->isVisible());
    stockMenu->hide();

    // DiscardGrid's menu comes on every release, even over an empty grid.
    QTest::mouseRelease(discardGrid()->viewport(), Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_TRUE(discardMenu->isVisible());
    discardMenu->hide();
}

TEST_F(CardWindowTest, HeaderClickMakesTheFirstCellCurrent) {
    addNumbered(stockStorePath(base, productA), 3);
    open();
    window->show();
    choose(0);
    struct Case {
        int row, column;      // the header cell clicked
        int wantRow, wantColumn;
    } const cases[] = {{0, 2, 1, 2}, {2, 0, 2, 1}, {0, 0, 1, 1}};
    for (const Case& c : cases) {
        clickCell(stockGrid(), c.row, c.column);
        EXPECT_EQ(stockGrid()->currentIndex(), stockGrid()->model()->index(c.wantRow, c.wantColumn))
            << c.row << "," << c.column;
        // The release over a header is a release over the grid.
        EXPECT_TRUE(control<QMenu>("cd")->isVisible()) << c.row << "," << c.column;
        control<QMenu>("cd")->hide();
    }
}

TEST_F(CardWindowTest, KeyboardStopsAtTheHeaderCells) {
    addNumbered(stockStorePath(base, productA), 3);
    open();
    window->show();
    choose(0);
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } const cases[] = {{Qt::Key_Up, {}}, {Qt::Key_Left, {}}, {Qt::Key_Home, {}},
                       {Qt::Key_Home, Qt::ControlModifier}, {Qt::Key_PageUp, {}}};
    for (const Case& c : cases) {
        ASSERT_TRUE(stockGrid()->makeCurrent(1, 1));
        QTest::keyClick(stockGrid(), c.key, c.modifiers);
        EXPECT_EQ(stockGrid()->currentIndex(), stockGrid()->model()->index(1, 1)) << c.key;
    }
}

TEST_F(CardWindowTest, AutoRefreshSetsThePeriodFromTheEditBox) {
    open();
    QCheckBox* check = control<QCheckBox>("选择框1");
    QLineEdit* edit = control<QLineEdit>("编辑框1");
    struct Case {
        const char* text;
        std::int32_t ms;
    } const cases[] = {{"5", 5000}, {"", 0}, {"-3", 0}, {"2", 2000}};
    for (const Case& c : cases) {
        check->setChecked(false);
        edit->setText(QString::fromUtf8(c.text));
        check->click();
        EXPECT_EQ(window->refreshTimer().period(), c.ms) << c.text;
    }
    check->click();  // unticked
    EXPECT_EQ(window->refreshTimer().period(), 0);
}

TEST_F(CardWindowTest, RefreshTimerFillsTheGridsAgainKeepingTheRow) {
    addNumbered(stockStorePath(base, productA), 3);
    open();
    choose(0);
    ASSERT_TRUE(stockGrid()->makeCurrent(2, 1));
    control<QLineEdit>("编辑框1")->setText(QStringLiteral("5"));
    control<QCheckBox>("选择框1")->click();
    addCards(stockStorePath(base, productA), {{"new", "card", "t"}});

    clock.advance(4999);
    EXPECT_EQ(stockGrid()->model()->rowCount(), 4);
    clock.advance(1);
    EXPECT_EQ(stockGrid()->model()->rowCount(), 5);
    EXPECT_EQ(stockGrid()->currentIndex(), stockGrid()->model()->index(2, 1));

    window->reject();  // closing stops the timer
    EXPECT_EQ(window->refreshTimer().period(), 0);
}

TEST_F(CardWindowTest, PeriodEditTakesDigitsAndMinusAndTidiesOnLeaving) {
    open();
    QLineEdit* edit = control<QLineEdit>("编辑框1");
    struct Case {
        const char* typed;
        const char* whileTyping;
        const char* left;
    } const cases[] = {
        {"12a", "12", "12"},
        {"007", "007", "7"},
        {"0", "0", ""},
        {"-4x5", "-45", "-45"},
        {"99999999999", "99999999999", "2147483647"},
    };
    for (const Case& c : cases) {
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.whileTyping)) << c.typed;
        QFocusEvent leave(QEvent::FocusOut);
        QApplication::sendEvent(edit, &leave);
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.left)) << c.typed;
    }
}

TEST_F(CardWindowTest, ImportAppendsTheLinesAsCards) {
    addCards(stockStorePath(base, productA), {{"old", "card", "t0"}});
    open();
    choose(0);
    dialogs.messages.clear();
    const QString typed = QStringLiteral("1234 5678\n1234 56 78\n卡号 密码\n");
    import(typed);
    const std::vector<Card> cards = records(stockStorePath(base, productA));
    ASSERT_EQ(cards.size(), 4u);
    EXPECT_EQ(cards[0].number, "old");
    EXPECT_EQ(cards[1].number, "1234");
    EXPECT_EQ(cards[1].password, "5678");
    EXPECT_EQ(cards[2].password, "56 78");
    EXPECT_EQ(cards[3].number, narrow("卡号"));
    EXPECT_EQ(cards[3].password, narrow("密码"));
    const Text now = text::timeStampNow();
    EXPECT_EQ(cards[3].time.substr(0, 8), now.substr(0, 8));  // "2024年5月" and so on
    EXPECT_EQ(dialogs.messages, std::vector<Text>{narrow("已入库 3 张卡密")});
    EXPECT_EQ(control<QPlainTextEdit>("编辑框4")->toPlainText(), typed);
    EXPECT_EQ(stockGrid()->model()->rowCount(), 5);
    EXPECT_TRUE(records(stockStorePath(base, productB)).empty());
}

TEST_F(CardWindowTest, ImportSkipsLinesWithAnEmptyFieldAndSaysWhich) {
    open();
    choose(0);
    dialogs.messages.clear();
    import(QStringLiteral("a b\n\nc d\nnospace\n e\nf \n"));
    const std::vector<Card> cards = records(stockStorePath(base, productA));
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].number, "a");
    EXPECT_EQ(cards[1].number, "c");
    EXPECT_EQ(dialogs.messages,
              std::vector<Text>{narrow("已入库 2 张卡密\n有 4 行未入库（第 2、4、5、6 行）："
                                       "每行须为“卡号 密码”，卡号和密码都不能为空")});
}

TEST_F(CardWindowTest, ImportingTwiceStoresTheCardsTwice) {
    open();
    choose(0);
    import(QStringLiteral("a b\nc d"));
    import(QStringLiteral("a b\nc d"));
    const std::vector<Card> cards = records(stockStorePath(base, productA));
    ASSERT_EQ(cards.size(), 4u);
    EXPECT_EQ(cards[2].number, "a");
    EXPECT_EQ(cards[3].number, "c");
}

TEST_F(CardWindowTest, ImportStoresNothingItCannotStoreWhole) {
    addCards(stockStorePath(base, productA), {{"old", "card", "t0"}});
    open();
    struct Case {
        const char* name;
        std::function<void()> arrange;
        QString typed;
        const char* message;
    } const cases[] = {
        {"no product selected", [] {}, QStringLiteral("a b"), "请先在商品列表中选择商品"},
        {"typed text names no product", [&] { choose(0); combo()->setEditText(QStringLiteral("卡")); },
         QStringLiteral("a b"), "请先在商品列表中选择商品"},
        {"text outside code page 936", [&] { choose(0); },
         QStringLiteral("a b\nc ") + QString::fromUcs4(U"\U0001F600"), "卡密中有无法保存的字符，没有入库任何卡密"},
        {"product without store files", [&] { choose(0); choose(2); }, QStringLiteral("a b"),
         "入库失败，没有入库任何卡密"},
    };
    for (const Case& c : cases) {
        c.arrange();
        dialogs.messages.clear();
        import(c.typed);
        EXPECT_EQ(dialogs.messages, std::vector<Text>{narrow(c.message)}) << c.name;
        EXPECT_EQ(records(stockStorePath(base, productA)).size(), 1u) << c.name;
        for (const Text& path : {stockStorePath(base, productB), discardStorePath(base, productA),
                                 discardStorePath(base, productB)}) {
            EXPECT_TRUE(records(path).empty()) << c.name;
        }
    }
}

TEST_F(CardWindowTest, DeleteRemovesTheChosenCardAfterAsking) {
    addNumbered(stockStorePath(base, productA), 3);
    open();
    choose(0);
    ASSERT_TRUE(stockGrid()->makeCurrent(2, 1));

    dialogs.answers = {false};
    control<QMenu>("cd")->actions()[0]->trigger();
    EXPECT_EQ(records(stockStorePath(base, productA)).size(), 3u);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_NE(dialogs.questions[0].find("n2"), Text::npos);
    EXPECT_NE(dialogs.questions[0].find("p2"), Text::npos);

    dialogs.answers = {true};
    control<QMenu>("cd")->actions()[0]->trigger();
    const std::vector<Card> cards = records(stockStorePath(base, productA));
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].number, "n1");
    EXPECT_EQ(cards[1].number, "n3");
    EXPECT_EQ(stockGrid()->model()->rowCount(), 3);
}

TEST_F(CardWindowTest, DeleteFindsTheCardAfterADeliveryDuringTheQuestion) {
    addNumbered(stockStorePath(base, productA), 3);
    open();
    choose(0);
    ASSERT_TRUE(stockGrid()->makeCurrent(2, 1));
    // While the question is open a delivery takes the first card and leaves
    // the other product's store current.
    dialogs.answers = {true};
    dialogs.onMessage = [&](const Text&) {
        db.selectStore(stockStorePath(base, productA));
        db.goFirst();
        db.deleteRecord();
        db.purgeDeleted();
        db.selectStore(stockStorePath(base, productB));
    };
    control<QMenu>("cd")->actions()[0]->trigger();
    const std::vector<Card> cards = records(stockStorePath(base, productA));
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].number, "n3");
}

TEST_F(CardWindowTest, EditRewritesTheCardInItsPlace) {
    addNumbered(stockStorePath(base, productA), 3);
    open();
    choose(0);
    ASSERT_TRUE(stockGrid()->makeCurrent(2, 2));
    std::vector<CardEdit> shown;
    window->setCardEditor([&](const CardEdit& card) -> std::optional<CardEdit> {
        shown.push_back(card);
        return CardEdit{QStringLiteral("新卡号"), QStringLiteral("new pw")};
    });
    control<QMenu>("cd")->actions()[1]->trigger();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].number, QStringLiteral("n2"));
    EXPECT_EQ(shown[0].password, QStringLiteral("p2"));
    const std::vector<Card> cards = records(stockStorePath(base, productA));
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0].number, "n1");
    EXPECT_EQ(cards[1], (Card{narrow("新卡号"), "new pw", "t2"}));
    EXPECT_EQ(cards[2].number, "n3");
    EXPECT_EQ(cell(stockGrid(), 2, 0), QStringLiteral("新卡号"));

    // The change is in the file, not only in memory.
    RecordDatabase reopened;
    ASSERT_TRUE(reopened.openStore(stockStorePath(base, productA)));
    reopened.goFirst();
    reopened.skipRecord();
    EXPECT_EQ(reopened.readField(2), "new pw");
}

TEST_F(CardWindowTest, EditRefusesAnEmptyFieldAndCancel) {
    addNumbered(stockStorePath(base, productA), 2);
    open();
    choose(0);
    ASSERT_TRUE(stockGrid()->makeCurrent(1, 1));
    struct Case {
        const char* name;
        std::optional<CardEdit> answer;
        std::vector<Text> messages;
    } const cases[] = {
        {"cancelled", std::nullopt, {}},
        {"empty password", CardEdit{QStringLiteral("x"), QString()}, {narrow("卡号和密码都不能为空，没有修改")}},
        {"empty number", CardEdit{QString(), QStringLiteral("y")}, {narrow("卡号和密码都不能为空，没有修改")}},
    };
    for (const Case& c : cases) {
        window->setCardEditor([&](const CardEdit&) { return c.answer; });
        dialogs.messages.clear();
        control<QMenu>("cd")->actions()[1]->trigger();
        EXPECT_EQ(dialogs.messages, c.messages) << c.name;
        EXPECT_EQ(records(stockStorePath(base, productA))[0].number, "n1") << c.name;
    }
}

TEST_F(CardWindowTest, WithoutAProductNoActionTouchesAStore) {
    addNumbered(stockStorePath(base, productA), 2);
    addNumbered(discardStorePath(base, productA), 2);
    open();
    choose(0);
    ASSERT_TRUE(stockGrid()->makeCurrent(1, 1));
    combo()->setCurrentIndex(-1);
    dialogs.answers = {true};
    window->setCardEditor([](const CardEdit&) { return CardEdit{QStringLiteral("x"), QStringLiteral("y")}; });
    control<QMenu>("cd")->actions()[0]->trigger();
    control<QMenu>("cd")->actions()[1]->trigger();
    control<QMenu>("ab")->actions()[0]->trigger();
    import(QStringLiteral("a b"));
    control<QPushButton>("按钮1")->click();
    EXPECT_TRUE(dialogs.questions.empty());
    const std::vector<Card> stock = records(stockStorePath(base, productA));
    ASSERT_EQ(stock.size(), 2u);
    EXPECT_EQ(stock[0].number, "n1");
    EXPECT_EQ(records(discardStorePath(base, productA)).size(), 2u);
    expectHeaderOnly(stockGrid());
    expectHeaderOnly(discardGrid());
}

TEST_F(CardWindowTest, OpenModalBlocksOtherWindowsWhileTheirTimersTick) {
    int ticks = 0;
    QTimer mainWindowTimer;
    QObject::connect(&mainWindowTimer, &QTimer::timeout, [&] { ++ticks; });
    mainWindowTimer.start(5);
    bool sawModal = false;
    QTimer::singleShot(100, [&] {
        auto* shown = qobject_cast<CardWindow*>(QApplication::activeModalWidget());
        sawModal = shown != nullptr && shown->windowModality() == Qt::ApplicationModal &&
                   shown->parentWidget() == nullptr;
        if (shown != nullptr) shown->reject();
    });
    CardWindow::openModal(settings, db, dialogs, clock);
    EXPECT_TRUE(sawModal);
    EXPECT_GT(ticks, 0);
}

} // namespace
} // namespace zenvik
