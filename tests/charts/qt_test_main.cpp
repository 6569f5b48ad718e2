// GoogleTest main for tests that paint: one QApplication, on a platform that needs no screen.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
#ifdef Q_OS_WIN
    // Windows' offscreen platform has none of the system's fonts (text would come out as
    // nothing), so Windows' own platform is used: it shows nothing unless a window is shown.
    // Under wine it is the only way to choose: wine leaves QT_ variables of the Linux
    // environment out of a Windows program's.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "windows");
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
