// Start-up time and idle load of the whole application, on the offscreen platform.
//
// Start-up is timed from outside: each run starts a fresh copy of this program, which brings
// the application up the way vtlconfig does (demo console) and reports when its main window
// has first been painted, so loading Qt, the platform plugin and the fonts counts. The
// splash's 3.5 s and the user's choice do not: the copy dismisses the splash and picks "New"
// as soon as each window has been painted, as a quick user would. The copy stamps its main()
// entry, its ready QApplication and its constructed Application on the same monotonic clock,
// which splits the total into process loading, Qt set-up and the application's own part.
//
// The idle load is the CPU time a copy uses over 10 s with the main window up, the demo
// console read and the 100 ms transfer timer running; the same with the timer stopped shows
// what Qt costs on its own.

#include "editor/frm_main.h"
#include "link/result.h"
#include "link/transfer.h"
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

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kStartRuns = 10;
constexpr int kIdleMilliseconds = 10000;
// Limits for a copy that never gets there; generous, since a run shares two cores.
constexpr int kShowLimitMilliseconds = 30000;
constexpr int kReadLimitMilliseconds = 60000;
constexpr int kPollMilliseconds = 100;

const char* const kStartArg = "--start";
const char* const kIdleArg = "--idle";
const char* const kNoTimerArg = "--no-timer";

std::int64_t NowNs() {
    // The monotonic clock is the same in every process, so a copy's stamps and its
    // launcher's can be subtracted.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Milliseconds(std::int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

// ---- The copy: the application brought up in this process. ----

// Ends a copy that cannot get to its report; the launcher shows why.
[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "app_bench: %s\n", what);
    std::fflush(stderr);
    std::_Exit(1);
}

// Calls `then` on the event loop's turn after `widget` has first been painted.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget& widget, std::function<void()> then)
        : widget_(widget), then_(std::move(then)) {
        widget_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            widget_.removeEventFilter(this);
            QTimer::singleShot(0, this, then_);
        }
        return false;
    }

private:
    QWidget& widget_;
    std::function<void()> then_;
};

// Calls `then` right after the paint that first shows `widget`. The expose or update request
// that paints it is delivered from here, so the moment taken includes the painting of every
// child and the flush, and none of what the window queues for later (the read that "New"
// starts at activation).
class FirstShown : public QObject {
public:
    FirstShown(QWidget& widget, std::function<void()> then)
        : widget_(widget), window_(widget.windowHandle()), then_(std::move(then)) {
        widget_.installEventFilter(this);
        if (window_)
            window_->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (watched == &widget_)
                painted_ = true;
            return false;
        }
        if (delivering_ ||
            (event->type() != QEvent::Expose && event->type() != QEvent::UpdateRequest)) {
            return false;
        }
        delivering_ = true;
        watched->event(event);
        delivering_ = false;
        if (painted_) {
            widget_.removeEventFilter(this);
            if (window_)
                window_->removeEventFilter(this);
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

void Click(QWidget& widget, QEvent::Type type) {
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

// Dismisses the splash once painted, picks "New" once the choice is painted, and calls
// `shown` once the main window has been painted.
class QuickUser {
public:
    QuickUser(vtl::Application& app, std::function<void()> shown)
        : splash_(app.splash(), [&app] { Click(app.splash(), QEvent::MouseButtonPress); }),
          choice_(app.choice(), [this, &app, shown = std::move(shown)] {
              auto* wizard = app.choice().findChild<QLabel*>(QStringLiteral("lblWizard"));
              if (!wizard)
                  Fail("the start choice has no \"New\"");
              Click(*wizard, QEvent::MouseButtonRelease);
              main_ = std::make_unique<FirstShown>(*app.mainWindow(), shown);
          }) {}

private:
    AfterFirstPaint splash_;
    AfterFirstPaint choice_;
    std::unique_ptr<FirstShown> main_;
};

struct Usage {
    std::int64_t cpuNs;
    std::int64_t wakeups; // voluntary context switches: the process went to sleep
};

Usage ProcessUsage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ns = [](const timeval& t) {
        return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 +
               static_cast<std::int64_t>(t.tv_usec) * 1000;
    };
    return {ns(usage.ru_utime) + ns(usage.ru_stime), usage.ru_nvcsw};
}

bool ReadFinished(vtl::Application& app) {
    auto& transfer = app.transfer();
    return transfer.transferMode() == vtl::kReading && transfer.linkState() == vtl::kFinishing &&
           !app.status().isVisible();
}

// Waits for the read that "New" started to finish and its status window to go, then
// measures CPU time over the idle period and reports it.
void MeasureIdle(vtl::Application& app, bool timerRunning) {
    auto* poll = new QTimer(qApp);
    const std::int64_t limit = NowNs() + std::int64_t{kReadLimitMilliseconds} * 1'000'000;
    QObject::connect(poll, &QTimer::timeout, poll, [&app, poll, timerRunning, limit] {
        if (!ReadFinished(app)) {
            if (NowNs() > limit)
                Fail("the demo read did not finish");
            return;
        }
        poll->stop();
        if (!timerRunning)
            app.mainWindow()->stopTimer();
        const Usage before = ProcessUsage();
        const std::int64_t from = NowNs();
        // A coarse timer may end the period up to 5 % early.
        QTimer::singleShot(kIdleMilliseconds, Qt::PreciseTimer, qApp, [before, from] {
            const Usage after = ProcessUsage();
            std::printf("idle %lld %lld %lld\n", static_cast<long long>(NowNs() - from),
                        static_cast<long long>(after.cpuNs - before.cpuNs),
                        static_cast<long long>(after.wakeups - before.wakeups));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    });
    poll->start(kPollMilliseconds);
}

int RunCopy(int argc, char* argv[], std::int64_t mainNs) {
    const bool idle = std::strcmp(argv[1], kIdleArg) == 0;
    const bool timerRunning = !(argc > 2 && std::strcmp(argv[2], kNoTimerArg) == 0);

    QApplication qapp(argc, argv);
    const std::int64_t qappNs = NowNs();

    vtl::AppOptions options;
    options.demo = true;
    options.programFolder = QCoreApplication::applicationDirPath();
    vtl::Application app(options);
    if (!app.Start())
        Fail("another copy is running");

    QuickUser user(app, [&app, idle, timerRunning, mainNs, qappNs] {
        if (idle) {
            MeasureIdle(app, timerRunning);
            return;
        }
        std::printf("shown %lld %lld %lld\n", static_cast<long long>(mainNs),
                    static_cast<long long>(qappNs), static_cast<long long>(NowNs()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    if (!idle) {
        QTimer::singleShot(kShowLimitMilliseconds, qApp,
                           [] { Fail("the main window was not shown"); });
    }
    return QApplication::exec();
}

// ---- The launcher: the benchmarks, each run in a fresh copy. ----

// Starts copies of this program in a private home and temporary folder, so that no settings,
// backups or single-instance socket of a user or another run are met.
class Launcher {
public:
    Launcher() {
        env_ = QProcessEnvironment::systemEnvironment();
        const QString home = home_.path();
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("HOME"), home);
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env_.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env_.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        env_.insert(QStringLiteral("TMPDIR"), home);
    }

    // Runs a copy with these arguments and returns the moment it was started followed by
    // the numbers on its report line, which starts with `word`.
    vtl::Expected<std::vector<std::int64_t>> Run(const QStringList& arguments, const char* word,
                                                 int limitMilliseconds) {
        QProcess copy;
        copy.setProcessEnvironment(env_);
        const std::int64_t startedNs = NowNs();
        copy.start(QCoreApplication::applicationFilePath(), arguments);
        const bool finished = copy.waitForFinished(limitMilliseconds);
        if (!finished) {
            copy.kill();
            copy.waitForFinished();
        }
        if (!finished || copy.exitStatus() != QProcess::NormalExit || copy.exitCode() != 0) {
            // The offscreen platform's warnings are kept out of the table unless they may
            // tell why a copy failed.
            std::fputs(copy.readAllStandardError().constData(), stderr);
            return vtl::Error{finished ? "the copy failed" : "the copy did not finish"};
        }
        const QStringList fields =
            QString::fromUtf8(copy.readAllStandardOutput()).trimmed().split(QLatin1Char(' '));
        if (fields.value(0) != QLatin1String(word))
            return vtl::Error{"the copy reported nothing"};
        std::vector<std::int64_t> numbers{startedNs};
        for (qsizetype i = 1; i < fields.size(); ++i)
            numbers.push_back(fields[i].toLongLong());
        return numbers;
    }

private:
    QTemporaryDir home_;
    QProcessEnvironment env_;
};

double Min(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double Max(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

// Process start to main window painted; one copy per repetition. The first copy after a
// build reads the libraries and fonts from disk; one unmeasured copy beforehand makes every
// measured one start with them in the page cache, as a second launch would.
void ColdStart(benchmark::State& state, Launcher& launcher, bool& warmedUp) {
    const QStringList arguments{QString::fromLatin1(kStartArg)};
    if (!warmedUp) {
        warmedUp = true;
        (void)launcher.Run(arguments, "shown", kShowLimitMilliseconds);
    }
    for (auto _ : state) {
        const auto times = launcher.Run(arguments, "shown", kShowLimitMilliseconds);
        if (!times || times->size() != 4) {
            state.SkipWithError(times ? "the copy's report is malformed"
                                      : times.error().message.c_str());
            break;
        }
        const std::int64_t started = (*times)[0];
        const std::int64_t mainEntry = (*times)[1];
        const std::int64_t qappReady = (*times)[2];
        const std::int64_t shown = (*times)[3];
        state.SetIterationTime(static_cast<double>(shown - started) / 1e9);
        state.counters["load_ms"] = Milliseconds(mainEntry - started);
        state.counters["qapp_ms"] = Milliseconds(qappReady - mainEntry);
        state.counters["app_ms"] = Milliseconds(shown - qappReady);
    }
}

// CPU time over 10 s of idling with the main window up, the read over.
void IdleCpu(benchmark::State& state, Launcher& launcher) {
    QStringList arguments{QString::fromLatin1(kIdleArg)};
    if (state.range(0) == 0)
        arguments << QString::fromLatin1(kNoTimerArg);
    const int limit = kShowLimitMilliseconds + kReadLimitMilliseconds + kIdleMilliseconds;
    for (auto _ : state) {
        const auto figures = launcher.Run(arguments, "idle", limit);
        if (!figures || figures->size() != 4) {
            state.SkipWithError(figures ? "the copy's report is malformed"
                                        : figures.error().message.c_str());
            break;
        }
        const double wallSeconds = static_cast<double>((*figures)[1]) / 1e9;
        const double cpuMs = Milliseconds((*figures)[2]);
        state.SetIterationTime(wallSeconds);
        state.counters["cpu_ms"] = cpuMs;
        state.counters["cpu_ms_per_s"] = cpuMs / wallSeconds;
        state.counters["cpu_pct"] = cpuMs / wallSeconds / 10.0;
        state.counters["wakeups_per_s"] = static_cast<double>((*figures)[3]) / wallSeconds;
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const std::int64_t mainNs = NowNs();
    if (argc > 1 && (std::strcmp(argv[1], kStartArg) == 0 || std::strcmp(argv[1], kIdleArg) == 0)) {
        return RunCopy(argc, argv, mainNs);
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication core(argc, argv);
    Launcher launcher;
    bool warmedUp = false;

    benchmark::RegisterBenchmark("cold_start_to_main_window", ColdStart, std::ref(launcher),
                                 std::ref(warmedUp))
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(kStartRuns)
        ->ComputeStatistics("min", Min)
        ->ComputeStatistics("max", Max)
        ->DisplayAggregatesOnly(true);
    benchmark::RegisterBenchmark("idle_cpu_10s", IdleCpu, std::ref(launcher))
        ->ArgName("timer")
        ->Arg(1)
        ->Arg(0)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
