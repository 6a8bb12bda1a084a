// The shell tests run with a scratch home folder, so that the settings, documents and
// configuration folders they use are never the user's own (on Windows the settings follow
// %APPDATA%), and with the offscreen platform, so that widgets need no display.

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/Jürgen-XXXXXX")); // beyond ASCII
    if (!home.isValid()) return 1;
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                 "XDG_RUNTIME_DIR", "APPDATA", "TEMP", "TMP"})
        qputenv(variable, home.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
