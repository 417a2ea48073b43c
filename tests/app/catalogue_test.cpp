// The catalogue on MainWindow: what a start lists and creates, and a seller
// who creates the catalogue, adds, is refused and deletes products.
#include "app_fixture.h"

#include "platform/qt/qt_text.h"
#include "store/product_catalogue.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

namespace zenvik::test {
namespace {

namespace fs = std::filesystem;

class CatalogueTest : public AppFixture {
protected:
    QListWidget* list() { return control<QListWidget>("列表框1"); }
    QStringList listed() {
        QStringList items;
        for (int i = 0; i < list()->count(); ++i) items << list()->item(i)->text();
        return items;
    }
    void add(const QString& name) {
        control<QLineEdit>("编辑框2")->setText(name);
        QTest::mouseClick(control<QPushButton>("按钮2"), Qt::LeftButton);
    }
    // Right button released over the product list, then "删除" chosen.
    void deleteByMenu() {
        QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        auto* menu = window->findChild<QMenu*>(QStringLiteral("ProductListMenu"));
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->isVisible());
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("删除"));
        menu->actions()[0]->trigger();
        menu->hide();
    }
};

TEST_F(CatalogueTest, FirstStartInAnEmptyDirectory) {
    start();
    EXPECT_TRUE(fs::is_directory(dir.path() / "sp"));
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        EXPECT_NE(entry.path().filename(), "TEMP.TMP") << entry.path();
    EXPECT_EQ(list()->count(), 0);
    EXPECT_EQ(control<QLineEdit>("编辑框3")->text(), QString());
    EXPECT_FALSE(control<QLineEdit>("编辑框3")->isEnabled());
    EXPECT_FALSE(fs::exists(dir.path() / "sp.edb"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CatalogueTest, ListsTheCatalogueInItsOwnOrder) {
    makeCatalogue({"C", text::narrow("测试"), "A"});
    start();
    EXPECT_EQ(listed(), (QStringList{"C", "测试", "A"}));
    EXPECT_TRUE(list()->selectedItems().isEmpty());
}

TEST_F(CatalogueTest, SellerCreatesTheCatalogueAddsAndDeletesProducts) {
    start();
    control<QTabWidget>("选择夹1")->setCurrentIndex(1);

    // No catalogue yet: "No" changes nothing.
    add(QStringLiteral("A"));
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0], text::narrow("商品库不存在，是否创建？"));
    EXPECT_FALSE(fs::exists(dir.path() / "sp.edb"));
    EXPECT_TRUE(window->isVisible());

    // "Yes" creates it and ends the program; the typed name is not added.
    dialogs.answers = {true};
    add(QStringLiteral("A"));
    EXPECT_TRUE(fs::exists(dir.path() / "sp.edb"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(fs::exists(dir.path() / "sp" / "A.edb"));

    start();
    EXPECT_TRUE(listed().isEmpty());
    add(QStringLiteral("A"));
    add(QStringLiteral("乙 B"));
    EXPECT_EQ(listed(), (QStringList{"A", "乙 B"}));
    EXPECT_TRUE(fs::exists(dir.path() / "sp" / "乙 B.edb"));
    EXPECT_TRUE(fs::exists(dir.path() / "sp" / "乙 B2.edb"));

    // A name that code page 936 cannot hold is refused with a message.
    const std::size_t told = dialogs.messages.size();
    add(QStringLiteral("卡\U0001F600"));
    ASSERT_EQ(dialogs.messages.size(), told + 1);
    EXPECT_EQ(dialogs.messages.back(), unconvertibleNameMessage());
    EXPECT_EQ(listed(), (QStringList{"A", "乙 B"}));

    // With no item selected "删除" does nothing.
    const std::size_t asked = dialogs.questions.size();
    deleteByMenu();
    EXPECT_EQ(dialogs.questions.size(), asked);

    list()->setCurrentRow(0);
    dialogs.answers = {true};
    deleteByMenu();
    EXPECT_EQ(dialogs.questions.size(), asked + 1);
    EXPECT_EQ(listed(), (QStringList{"乙 B"}));
    EXPECT_FALSE(fs::exists(dir.path() / "sp" / "A.edb"));

    start();
    EXPECT_EQ(listed(), (QStringList{"乙 B"}));
}

} // namespace
} // namespace zenvik::test
