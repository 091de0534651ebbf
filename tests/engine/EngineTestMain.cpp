// Test entry for the engine tests: a Qt application (widgets when the practice window is
// tested) and a settings store of their own in a temporary folder.
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef BRISOLT_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Widgets are tested offscreen, also when the tests are only listed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication application(argc, argv);
    QTemporaryDir settingsFolder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    return RUN_ALL_TESTS();
}
