// Soak of the whole application in demo mode, on the offscreen platform, in a scratch home:
// after the start's read, CYCLES (default 1,000) rounds of an edit through the console's
// document, a write with "Verify After Write" on (so a read-back follows) and a read, against
// the simulated console in the process, ticked as fast as it answers, with the events handled
// after every tick as the event loop would. Every read-back must be verified, every read must
// bring back what was written, and no message box may come up. The resident memory is
// printed after the start's read, after the first cycle, every tenth of the run and at the
// end, with the growth from the first cycle on; so is the number of backups the reads kept.
//   demo_soak [CYCLES]
// Exits 1 when a cycle went wrong. Everything is told on standard output; Qt's offscreen
// platform chatters on standard error.

#include "bench/bench_support.h"
#include "editor/console_document.h"
#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "model/catalogue.h"
#include "model/config_file.h"
#include "shell/application.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"
#include "shell/link_controller.h"
#include "shell/start_flow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Ticks until the transfer in mode is over and its status window gone; false when that takes
// more ticks than any whole transfer of the demo console needs.
bool Settle(vtl::Application& app, vtl::TransferMode mode) {
    vtl::LinkController& link = app.Link();
    for (int tick = 0; tick < 20000; ++tick) {
        if (link.Transfer().Mode() == mode &&
            link.Transfer().State() == vtl::LinkState::Finishing && !app.Status().isVisible()) {
            return true;
        }
        link.Tick();
        QCoreApplication::processEvents();
    }
    return false;
}

// The cycle's edit: every manual's channels, one piston on a Program Change and the shoe,
// different from the cycle before.
void Edit(vtl::ConsoleDocument& document, int cycle) {
    for (int m = 0; m < 3; ++m) {
        const vtl::ManualIndex manual{m};
        document.SetChannels(manual, (cycle * 7919 + m * 104729) & 0xFFFF);
        const auto program = static_cast<std::int16_t>(1 + (cycle + m) % 128);
        document.SetPiston({manual, (cycle + m) % vtl::kPistonsPerManual},
                           {.programNumber = program,
                            .midiChannel = static_cast<std::int16_t>(1 + cycle % 16),
                            .functionType = program,
                            .functionGroup = vtl::kProgramChangeGroup});
        document.SetShoe(manual, {.midiChannel = static_cast<std::uint8_t>((cycle + m) % 16),
                                  .volumeControl = cycle % 2 == 0,
                                  .expressionOn = (cycle + m) % 3 != 0});
    }
}

std::string Text(const vtl::ConsoleModel& console) {
    vtl::ConsoleModel copy = console;
    const auto text = vtl::FormatConfigFile(copy);
    return text ? *text : std::string();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int cycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    // Settings, backups and the single-instance channel go below the scratch home.
    const QTemporaryDir home;
    for (const char* variable : {"HOME", "TMPDIR", "TEMP", "TMP"})
        qputenv(variable, home.path().toUtf8());
    qputenv("APPDATA", (home.path() + QStringLiteral("/.config")).toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    QApplication application(argc, argv);
    vtl::AppOptions options;
    options.demo = true;
    options.programFolder = QApplication::applicationDirPath();
    vtl::Application app(options);
    if (!app.Start()) return 1;

    QStringList boxes; // every message box's text; each is closed at once
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->reject();
        }
    });
    closer.start(10);
    int verified = 0;
    int unverified = 0;
    QObject::connect(&app.Link(), &vtl::LinkController::Verified,
                     [&](const std::vector<std::string>& differences) {
                         ++(differences.empty() ? verified : unverified);
                     });

    // Past the splash, and "New" on the start choice: the first read.
    app.Flow().Splash().accept();
    app.Flow().Choice().findChild<QAbstractButton*>(QStringLiteral("lblWizard"))->click();
    app.Link().StopTimer();
    if (!Settle(app, vtl::TransferMode::Reading)) {
        std::printf("demo_soak: the start's read did not end\n");
        return 1;
    }
    if (auto* verify = app.Window()->findChild<QAction*>(QStringLiteral("mnuVerifyAfterWrite"));
        !verify->isChecked()) {
        verify->trigger();
    }

    const double atStart = bench::ResidentMegabytes();
    double afterFirst = atStart;
    std::printf("after the start's read: resident %.1f MB\n", atStart);
    const double from = bench::NowMs();
    int wrong = 0;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        Edit(app.Document(), cycle);
        const std::string written = Text(app.State().console);
        app.Link().StartWrite();
        const bool writeEnded = Settle(app, vtl::TransferMode::Reading); // the read-back's end
        app.Link().StartRead();
        const bool readEnded = Settle(app, vtl::TransferMode::Reading);
        if (!writeEnded || !readEnded || Text(app.State().console) != written) {
            ++wrong;
            std::printf("demo_soak: cycle %d: %s\n", cycle,
                        !writeEnded  ? "the write or its read-back did not end"
                        : !readEnded ? "the read did not end"
                                     : "the read did not bring back what was written");
        }
        if (cycle == 1) afterFirst = bench::ResidentMegabytes();
        if (cycle == 1 || cycle % std::max(1, cycles / 10) == 0 || cycle == cycles) {
            std::printf("cycle %4d: resident %.1f MB, %.0f s\n", cycle, bench::ResidentMegabytes(),
                        (bench::NowMs() - from) / 1000);
            std::fflush(stdout);
        }
    }
    const double atEnd = bench::ResidentMegabytes();
    const auto backups =
        QDir(app.State().appDataFolder + QStringLiteral("/Backups")).entryList(QDir::Files).size();
    std::printf("%d cycles in %.0f s: %d read-backs verified, %d not, %d reads wrong, %lld "
                "message boxes\n",
                cycles, (bench::NowMs() - from) / 1000, verified, unverified, wrong,
                static_cast<long long>(boxes.size()));
    for (const QString& box : boxes)
        std::printf("  message box: %s\n", qPrintable(box));
    std::printf("resident memory: %.1f MB after the start's read, %.1f MB after cycle 1, %.1f MB "
                "at the end (growth from cycle 1: %.1f MB)\n",
                atStart, afterFirst, atEnd, atEnd - afterFirst);
    std::printf("backups kept of the reads: %lld\n", static_cast<long long>(backups));
    app.Shutdown();
    return wrong == 0 && unverified == 0 && verified == cycles && boxes.isEmpty() ? 0 : 1;
}
