// Start-up time and idle load of the whole application on the offscreen platform. Each run
// starts a fresh copy of this program, so loading Qt, the platform plugin and the fonts counts.
// The copy brings up the demo console as vtlconfig does, dismisses the splash and picks "New"
// as soon as each is painted (so neither the splash's 3.5 s nor a user's pause counts), and
// splits its start-up at main() and the ready QApplication. Its idle load is the CPU time over
// 10 s after the read, with the 100 ms transfer timer running and stopped.

#include "editor/frm_main.h"
#include "link/transfer_controller.h"
#include "shell/application.h"
#include "shell/frm_choice.h"
#include "shell/frm_splash.h"
#include "shell/frm_status.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
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

constexpr int kIdleMilliseconds = 10000;
constexpr int kCopyLimitMilliseconds = 120000; // generous: a run shares two cores

// The monotonic clock is shared by all processes, so the launcher's stamp, passed to the copy,
// and the copy's own stamps subtract.
double NowMs() {
    using Ms = std::chrono::duration<double, std::milli>;
    return Ms(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Calls `then` right after the expose or update request that first paints `widget` has been
// delivered, so the moment includes every child's painting and the flush, but nothing the
// window queued for later (such as the read that "New" starts).
class OnFirstPaint : public QObject {
public:
    OnFirstPaint(QWidget& widget, std::function<void()> then)
        : widget_(widget), window_(widget.windowHandle()), then_(std::move(then)) {
        widget_.installEventFilter(this);
        if (window_) window_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        painted_ = painted_ || (watched == &widget_ && event->type() == QEvent::Paint);
        if (delivering_ ||
            (event->type() != QEvent::Expose && event->type() != QEvent::UpdateRequest)) {
            return false;
        }
        delivering_ = true;
        watched->event(event);
        delivering_ = false;
        if (painted_) {
            widget_.removeEventFilter(this);
            if (window_) window_->removeEventFilter(this);
            then_();
        }
        return true;
    }

private:
    QWidget& widget_;
    QWindow* window_;
    std::function<void()> then_;
    bool painted_ = false;
    bool delivering_ = false;
};

// Once the read that "New" started is over and its status window gone, measures the CPU time
// over the idle period.
void MeasureIdle(vtl::Application& app, bool timerRunning) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [&app, poll, timerRunning] {
        auto& transfer = app.transfer();
        if (transfer.transferMode() != vtl::TransferMode::Reading ||
            transfer.linkState() != vtl::LinkState::Finishing || app.status().isVisible()) {
            return;
        }
        poll->stop();
        if (!timerRunning) app.mainWindow()->stopTimer();
        const std::clock_t cpu = std::clock(); // all threads, user and system
        const double from = NowMs();
        // A coarse timer may end the period up to 5 % early.
        QTimer::singleShot(kIdleMilliseconds, Qt::PreciseTimer, qApp, [cpu, from] {
            const double seconds = (NowMs() - from) / 1000;
            const double cpuMsPerS =
                static_cast<double>(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC / seconds;
            std::printf("%f cpu_ms_per_s=%f cpu_pct=%f\n", seconds, cpuMsPerS, cpuMsPerS / 10);
            QCoreApplication::exit(0);
        });
    });
    poll->start(100);
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

    const auto shown = [&app, mode, startedMs, mainMs, qappMs] {
        if (mode != "--start") return MeasureIdle(app, mode == "--idle");
        const double shownMs = NowMs();
        std::printf("%f load_ms=%f qapp_ms=%f app_ms=%f\n", (shownMs - startedMs) / 1000,
                    mainMs - startedMs, qappMs - mainMs, shownMs - qappMs);
        QCoreApplication::exit(0);
    };
    // A quick user: dismisses the splash and picks "New" on the turn after each is painted.
    std::unique_ptr<OnFirstPaint> choicePainted;
    std::unique_ptr<OnFirstPaint> mainPainted;
    OnFirstPaint splashPainted(app.splash(), [&] {
        QTimer::singleShot(0, [&] {
            app.splash().accept();
            choicePainted = std::make_unique<OnFirstPaint>(app.choice(), [&] {
                QTimer::singleShot(0, [&] {
                    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(),
                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
                    QCoreApplication::sendEvent(
                        app.choice().findChild<QLabel*>(QStringLiteral("lblWizard")), &release);
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
QString Spawn(const char* mode) {
    static const QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("TMPDIR"), home.path());

    QProcess copy;
    copy.setProcessEnvironment(env);
    copy.start(QCoreApplication::applicationFilePath(),
               {QString::fromLatin1(mode), QString::number(NowMs(), 'f', 6)});
    if (copy.waitForFinished(kCopyLimitMilliseconds) && copy.exitStatus() == QProcess::NormalExit &&
        copy.exitCode() == 0) {
        return QString::fromUtf8(copy.readAllStandardOutput()).trimmed();
    }
    // The offscreen platform's warnings are shown only when they may tell why a copy failed.
    std::fputs(copy.readAllStandardError().constData(), stderr);
    return {}; // and a copy that hangs is killed on leaving
}

// Reports each copy's figures. The first copy after a build reads the libraries and fonts from
// disk; one unmeasured copy first makes every measured one start from the page cache, as a
// second launch would.
void Measure(benchmark::State& state, const char* mode, bool& warmedUp) {
    if (!std::exchange(warmedUp, true)) (void)Spawn("--start");
    for (auto _ : state) {
        const QStringList fields = Spawn(mode).split(QLatin1Char(' '));
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
    if (mode == "--start" || mode == "--idle" || mode == "--idle-no-timer")
        return CopyMain(argc, argv, mainMs);

    benchmark::Initialize(&argc, argv);
    QCoreApplication core(argc, argv);
    bool warmedUp = false;
    const auto add = [&warmedUp](const char* name, const char* copyMode) {
        return benchmark::RegisterBenchmark(name, Measure, copyMode, std::ref(warmedUp))
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
    };
    add("cold_start_to_main_window", "--start")
        ->Repetitions(10)
        ->ComputeStatistics("min", Min)
        ->ComputeStatistics("max", Max)
        ->DisplayAggregatesOnly(true);
    add("idle_cpu_10s/timer:1", "--idle");
    add("idle_cpu_10s/timer:0", "--idle-no-timer");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
