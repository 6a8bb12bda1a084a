#pragma once
// Helpers of the application tests: a scratch home, demo mode from the built program folder,
// and the first read of the simulated console, ticked by the test.

#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "session/link_session.h"
#include "shell/application.h"
#include "shell/console_files.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"
#include "shell/link_controller.h"
#include "shell/process_setup.h"
#include "shell/start_flow.h"

#include <QApplication>
#include <QTest>

// The main() of a test program that starts the application: QTEST_MAIN's, after the process
// is prepared as vtlconfig's main() prepares it.
#define VTL_APP_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char** argv) {                                                              \
        vtl::PrepareProcess();                                                                     \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

namespace vtl::test {

// Settings, backups and the single-instance channel go below home: through HOME and TMPDIR on
// Linux, through APPDATA (home/.config, as on Linux) and TEMP on Windows.
inline void UseScratchHome(const QString& home) {
    for (const char* variable : {"HOME", "TMPDIR", "TEMP", "TMP"})
        qputenv(variable, home.toUtf8());
    qputenv("APPDATA", (home + QStringLiteral("/.config")).toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
}

inline AppOptions DemoOptions() {
    AppOptions options;
    options.demo = true;
    options.programFolder = QStringLiteral(VTL_PROGRAM_FOLDER);
    return options;
}

// Ticks until the condition holds; false when it never did within the budget.
template <typename Condition> bool TickUntil(Application& app, Condition holds, int budget = 5000) {
    for (int i = 0; i < budget; ++i, app.Link().Tick())
        if (holds()) return true;
    return false;
}

// Ticks until the transfer has finished and its status window has closed.
inline bool Settle(Application& app) {
    return TickUntil(app, [&] {
        return app.Link().Transfer().State() == LinkState::Finishing && !app.Status().isVisible();
    });
}

// Starts the application and takes "New" from the choice: the main window after its read.
inline void StartWithDemoRead(Application& app) {
    QVERIFY(app.Start());
    QTest::mouseClick(&app.Flow().Splash(), Qt::LeftButton);
    QTest::mouseClick(app.Flow().Choice().findChild<QWidget*>(QStringLiteral("lblWizard")),
                      Qt::LeftButton);
    app.Link().StopTimer();
    QTRY_COMPARE(app.Link().Transfer().Mode(), TransferMode::Reading);
    QVERIFY(Settle(app));
}

} // namespace vtl::test
