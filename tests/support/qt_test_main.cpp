// main() of the tests that need a QApplication: widgets are shown on Qt's
// offscreen platform unless a display was asked for.
#include <QApplication>
#include <gtest/gtest.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (getuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Qt WebEngine shares GL contexts between its views; ask before the
    // application exists, as the program does.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
