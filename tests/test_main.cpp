#include <gtest/gtest.h>
#include <QTemporaryDir>
#if defined(MORVANE_TEST_APP_WIDGETS)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(MORVANE_TEST_APP_GUI)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and embedded databases never touch the user's own folders.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    if (qEnvironmentVariableIsEmpty("MORVANE_DATA_DIR"))
        qputenv("MORVANE_DATA_DIR", (home.path() + "/db").toUtf8());
    // The application object is the one of the layer under test: the
    // lower layers' tests run without any window code.
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
