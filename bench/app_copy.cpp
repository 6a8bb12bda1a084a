// The copy of the application that app_bench starts and times: the whole application in demo
// mode on the offscreen platform, with exactly vtlconfig's libraries (none of the benchmark
// library's), speaking the copy protocol the minimal program speaks too. "--start STAMP":
// dismisses the splash and picks "New" on the turn after each is painted (so neither the
// splash's 3.5 s nor a user's pause counts) and prints the seconds from the launcher's stamp
// to the main window's first paint, split at the splash's first paint, main() and the ready
// QApplication. "--idle" and "--idle-no-timer": the CPU time over 10 s after the read that
// "New" starts, with the 100 ms transfer timer running or stopped, and the memory at its end.
// "--write": a full three-manual write after that read, its time and the longest stall.

#include "bench/bench_support.h"
#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "session/link_session.h"
#include "shell/application.h"
#include "shell/console_files.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"
#include "shell/link_controller.h"
#include "shell/start_flow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string_view>

namespace {

using bench::NowMs;
using bench::OnFirstPaint;

constexpr int kIdleMilliseconds = 10000;

// Calls `then` once the transfer in `mode` is over and its status window gone.
void WhenTransferDone(vtl::Application& app, vtl::TransferMode mode, std::function<void()> then) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [&app, poll, mode, then] {
        auto& transfer = app.Link().Transfer();
        if (transfer.Mode() != mode || transfer.State() != vtl::LinkState::Finishing ||
            app.Status().isVisible()) {
            return;
        }
        poll->deleteLater();
        poll->stop();
        then();
    });
    poll->start(10);
}

// The CPU time over the idle period after the read, and the memory at its end.
void MeasureIdle(vtl::Application& app, bool timerRunning) {
    if (!timerRunning) app.Link().StopTimer();
    const std::clock_t cpu = std::clock(); // all threads, user and system
    const double from = NowMs();
    // A coarse timer may end the period up to 5 % early.
    QTimer::singleShot(kIdleMilliseconds, Qt::PreciseTimer, qApp, [cpu, from] {
        const double seconds = (NowMs() - from) / 1000;
        const double cpuMsPerS =
            static_cast<double>(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC / seconds;
        std::printf("%f cpu_ms_per_s=%f rss_mb=%f\n", seconds, cpuMsPerS,
                    bench::ResidentMegabytes());
        QCoreApplication::exit(0);
    });
}

// A full three-manual write after the read: its time and the event loop's longest stall.
void MeasureWrite(vtl::Application& app) {
    auto stall = std::make_shared<bench::LongestStall>();
    const double from = NowMs();
    app.Link().StartWrite();
    WhenTransferDone(app, vtl::TransferMode::Writing, [stall, from] {
        std::printf("%f stall_ms=%f\n", (NowMs() - from) / 1000, stall->Milliseconds());
        QCoreApplication::exit(0);
    });
}

} // namespace

// Prints the seconds its run took and its figures as name=value, for the launcher.
int main(int argc, char* argv[]) {
    const double mainMs = NowMs();
    if (argc < 3) return 2;
    const std::string_view mode = argv[1];
    const double startedMs = QByteArray(argv[2]).toDouble();
    QApplication qapp(argc, argv);
    const double qappMs = NowMs();
    std::setlocale(LC_NUMERIC, "C"); // QApplication took the user's; the launcher reads points
    vtl::AppOptions options;
    options.demo = true;
    options.programFolder = QCoreApplication::applicationDirPath();
    vtl::Application app(options);
    if (!app.Start()) return 1;

    double splashMs = 0;
    const auto shown = [&app, &splashMs, mode, startedMs, mainMs, qappMs] {
        if (mode == "--start") {
            const double shownMs = NowMs();
            std::printf("%f splash_ms=%f load_ms=%f qapp_ms=%f app_ms=%f\n",
                        (shownMs - startedMs) / 1000, splashMs - startedMs, mainMs - startedMs,
                        qappMs - mainMs, shownMs - qappMs);
            QCoreApplication::exit(0);
            return;
        }
        WhenTransferDone(app, vtl::TransferMode::Reading, [&app, mode] {
            if (mode == "--write") return MeasureWrite(app);
            MeasureIdle(app, mode == "--idle");
        });
    };
    // A quick user: dismisses the splash and picks "New" on the turn after each is painted.
    std::unique_ptr<OnFirstPaint> choicePainted;
    std::unique_ptr<OnFirstPaint> mainPainted;
    OnFirstPaint splashPainted(app.Flow().Splash(), [&] {
        splashMs = NowMs();
        QTimer::singleShot(0, [&] {
            app.Flow().Splash().accept();
            choicePainted = std::make_unique<OnFirstPaint>(app.Flow().Choice(), [&] {
                QTimer::singleShot(0, [&] {
                    app.Flow()
                        .Choice()
                        .findChild<QAbstractButton*>(QStringLiteral("lblWizard"))
                        ->click();
                    mainPainted = std::make_unique<OnFirstPaint>(*app.Window(), shown);
                });
            });
        });
    });
    return QApplication::exec();
}
