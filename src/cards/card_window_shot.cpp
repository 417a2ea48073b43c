// Saves a picture of CardWindow showing a product with a few unsold and sold
// cards, built in a temporary directory.
#include "cards/card_window.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_timer.h"
#include "store/product_catalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using zenvik::Text;
using zenvik::text::narrow;

void addStore(zenvik::RecordDatabase& db, const Text& path, const std::vector<zenvik::Card>& cards) {
    db.createStore(path, zenvik::cardFields());
    db.openStore(path);
    for (const zenvik::Card& card : cards) db.addRecord({card.number, card.password, card.time});
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s picture.png\n", argv[0]);
        return 2;
    }
    QTemporaryDir directory;
    if (!directory.isValid()) return 1;
    const Text base = directory.path().toStdString() + "/";
    QDir(directory.path()).mkdir(QStringLiteral("sp"));

    zenvik::RecordDatabase db;
    const Text catalogue = zenvik::cataloguePath(base);
    db.createStore(catalogue, zenvik::catalogueFields());
    db.openStore(catalogue);
    const std::vector<Text> products = {narrow("腾讯QQ会员一个月"), narrow("网易一卡通50元")};
    for (const Text& product : products) db.addRecord({product});

    const Text& product = products.front();
    addStore(db, zenvik::stockStorePath(base, product),
             {{"QQ20140316001", "7Hk2mP9qRt", narrow("2014年3月16日9时5分7秒")},
              {"QQ20140316002", "Zx81nL4wQe", narrow("2014年3月16日9时5分7秒")},
              {"QQ20140316003", "pB6tY3uJ0s", narrow("2014年3月16日9时5分")},
              {"QQ20140317004", "cV5bN7mK2d", narrow("2014年3月17日")}});
    addStore(db, zenvik::discardStorePath(base, product),
             {{"QQ20140315098", "Gh4jK8lP1o", narrow("2014年3月16日10时21分3秒")},
              {"QQ20140315099", "Wq2eR6tY9u", narrow("2014年3月16日14时2分")}});

    zenvik::ProgramSettings settings;
    settings.baseDirectory = base;
    zenvik::QtDialogs dialogs;
    zenvik::QtTimerFactory timers;
    zenvik::CardWindow window(settings, db, dialogs, timers);
    window.findChild<QComboBox*>(QStringLiteral("组合框1"))->setCurrentIndex(0);
    window.selectProduct(0);
    window.show();
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
