// Start-up time, idle load, memory and the longest stall of a write of the whole application on
// the offscreen platform, and the same figures of the minimal Qt program beside it. Each run
// starts a fresh copy of a program, so loading Qt, the platform plugin and the fonts counts.
// The copy brings up the demo console as vtlconfig does, dismisses the splash and picks "New"
// as soon as each is painted (so neither the splash's 3.5 s nor a user's pause counts), and
// splits its start-up at main() and the ready QApplication. Its idle load is the CPU time over
// 10 s after the read, with the 100 ms transfer timer running and stopped; its memory is
// measured at the end of that period.

#include "bench/bench_support.h"
#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "shell/application.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using bench::NowMs;
using bench::OnFirstPaint;

constexpr int kIdleMilliseconds = 10000;
constexpr int kCopyLimitMilliseconds = 120000; // generous: a run shares two cores

// Calls `then` once the transfer in `mode` is over and its status window gone.
void WhenTransferDone(vtl::Application& app, vtl::TransferMode mode, std::function<void()> then) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [&app, poll, mode, then] {
        auto& transfer = app.transfer();
        if (transfer.transferMode() != mode || transfer.linkState() != vtl::LinkState::Finishing ||
            app.status().isVisible()) {
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
    if (!timerRunning) app.mainWindow()->stopTimer();
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
    app.WriteToVtl();
    WhenTransferDone(app, vtl::TransferMode::Writing, [stall, from] {
        std::printf("%f stall_ms=%f\n", (NowMs() - from) / 1000, stall->milliseconds());
        QCoreApplication::exit(0);
    });
}

// A copy: prints the seconds its run took and its figures as name=value, for the launcher.
int CopyMain(int argc, char* argv[], double mainMs) {
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
    OnFirstPaint splashPainted(app.splash(), [&] {
        splashMs = NowMs();
        QTimer::singleShot(0, [&] {
            app.splash().accept();
            choicePainted = std::make_unique<OnFirstPaint>(app.choice(), [&] {
                QTimer::singleShot(0, [&] {
                    app.choice().findChild<QAbstractButton*>(QStringLiteral("lblWizard"))->click();
                    mainPainted = std::make_unique<OnFirstPaint>(*app.mainWindow(), shown);
                });
            });
        });
    });
    return QApplication::exec();
}

// Runs a copy in a private home and temporary folder, so that no settings, backups or
// single-instance socket of a user or another run are met. Returns what it printed, or an
// empty string if it failed.
QString Spawn(const QString& program, const char* mode) {
    static const QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("TMPDIR"), home.path());

    QProcess copy;
    copy.setProcessEnvironment(env);
    copy.start(program, {QString::fromLatin1(mode), QString::number(NowMs(), 'f', 6)});
    if (copy.waitForFinished(kCopyLimitMilliseconds) && copy.exitStatus() == QProcess::NormalExit &&
        copy.exitCode() == 0) {
        return QString::fromUtf8(copy.readAllStandardOutput()).trimmed();
    }
    // The offscreen platform's warnings are shown only when they may tell why a copy failed.
    std::fputs(copy.readAllStandardError().constData(), stderr);
    return {}; // and a copy that hangs is killed on leaving
}

// A program beside this one: this benchmark itself, or the minimal Qt program.
struct Program {
    QString name;
    bool warmedUp = false;
    QString path() const { return QCoreApplication::applicationDirPath() + '/' + name; }
};

// Reports each copy's figures. The first copy after a build reads the libraries and fonts from
// disk; one unmeasured copy first makes every measured one start from the page cache, as a
// second launch would.
void Measure(benchmark::State& state, Program& program, const char* mode) {
    if (!std::exchange(program.warmedUp, true)) (void)Spawn(program.path(), "--start");
    for (auto _ : state) {
        const QStringList fields = Spawn(program.path(), mode).split(QLatin1Char(' '));
        bool ok = false;
        state.SetIterationTime(fields[0].toDouble(&ok));
        if (!ok) {
            state.SkipWithError("the copy failed");
            break;
        }
        for (const QString& field : fields.mid(1))
            state.counters[field.section(QLatin1Char('='), 0, 0).toStdString()] =
                field.section(QLatin1Char('='), 1).toDouble();
    }
}

double Min(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double Max(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

} // namespace

int main(int argc, char* argv[]) {
    const double mainMs = NowMs();
    const std::string_view mode = argc > 2 ? argv[1] : "";
    if (mode == "--start" || mode == "--idle" || mode == "--idle-no-timer" || mode == "--write")
        return CopyMain(argc, argv, mainMs);

    benchmark::Initialize(&argc, argv);
    QCoreApplication core(argc, argv);
    Program self{QCoreApplication::applicationFilePath().section('/', -1)};
    Program minimal{QStringLiteral("minimal_window")};
    const auto add = [](const char* name, Program& program, const char* copyMode) {
        return benchmark::RegisterBenchmark(name, Measure, std::ref(program), copyMode)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
    };
    const auto repeated = [](benchmark::internal::Benchmark* benchmark) {
        benchmark->Repetitions(10)
            ->ComputeStatistics("min", Min)
            ->ComputeStatistics("max", Max)
            ->DisplayAggregatesOnly(true);
    };
    repeated(add("cold_start_to_main_window", self, "--start"));
    repeated(add("minimal_qt/cold_start_to_window", minimal, "--start"));
    add("idle_cpu_10s/timer:1", self, "--idle");
    add("idle_cpu_10s/timer:0", self, "--idle-no-timer");
    add("minimal_qt/idle_cpu_10s/timer:1", minimal, "--idle");
    add("three_manual_write", self, "--write")->Repetitions(3); // 23 s each
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
