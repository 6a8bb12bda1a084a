// Start-up time, idle load, memory and the longest stall of a write of the whole application on
// the offscreen platform, and the same figures of the minimal Qt program beside it. Each run
// starts a fresh copy of a program (app_copy or minimal_window), so loading Qt, the platform
// plugin and the fonts counts; the copies print their figures, this launcher reports them.

#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kCopyLimitMilliseconds = 120000; // generous: a run shares two cores

// Runs a copy in a private home and temporary folder, so that no settings, backups or
// single-instance socket of a user or another run are met. Returns what it printed, or an
// empty string if it failed.
QString Spawn(const QString& program, const char* mode) {
    static const QTemporaryDir kHome;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), kHome.path());
    env.insert(QStringLiteral("TMPDIR"), kHome.path());

    QProcess copy;
    copy.setProcessEnvironment(env);
    copy.start(program, {QString::fromLatin1(mode), QString::number(bench::NowMs(), 'f', 6)});
    if (copy.waitForFinished(kCopyLimitMilliseconds) && copy.exitStatus() == QProcess::NormalExit &&
        copy.exitCode() == 0) {
        return QString::fromUtf8(copy.readAllStandardOutput()).trimmed();
    }
    // The offscreen platform's warnings are shown only when they may tell why a copy failed.
    std::fputs(copy.readAllStandardError().constData(), stderr);
    return {}; // and a copy that hangs is killed on leaving
}

// A program beside this one: the application's copy or the minimal Qt program.
struct Program {
    QString name;
    bool warmedUp = false;
    QString Path() const { return QCoreApplication::applicationDirPath() + '/' + name; }
};

// Parses what a copy printed: its seconds first, then name=value figures.
std::optional<std::map<std::string, double>> Figures(const QString& printed) {
    const QStringList fields = printed.split(QLatin1Char(' '));
    bool ok = false;
    std::map<std::string, double> figures{{"seconds", fields[0].toDouble(&ok)}};
    if (!ok) return std::nullopt;
    for (const QString& field : fields.mid(1))
        figures[field.section(QLatin1Char('='), 0, 0).toStdString()] =
            field.section(QLatin1Char('='), 1).toDouble();
    return figures;
}

// Reports each copy's figures. The first copy after a build reads the libraries and fonts from
// disk; one unmeasured copy first makes every measured one start from the page cache, as a
// second launch would.
void Measure(benchmark::State& state, Program& program, const char* mode) {
    if (!std::exchange(program.warmedUp, true)) (void)Spawn(program.Path(), "--start");
    for (auto _ : state) {
        const auto figures = Figures(Spawn(program.Path(), mode));
        if (!figures) return state.SkipWithError("the copy failed");
        state.SetIterationTime(figures->at("seconds"));
        for (const auto& [name, value] : *figures)
            if (name != "seconds") state.counters[name] = value;
    }
}

// Start-up of the application beside the minimal program: copies of the two are started in
// turn, so that both see the same machine however its load drifts, and the medians of each
// figure are reported with the two ratios the budget is stated in.
void MeasureStart(benchmark::State& state, Program& application, Program& minimal) {
    constexpr int kPairs = 20;
    for (Program* program : {&application, &minimal})
        if (!std::exchange(program->warmedUp, true)) (void)Spawn(program->Path(), "--start");
    std::map<std::string, std::vector<double>> runs;
    for (auto _ : state) {
        for (int pair = 0; pair < kPairs; ++pair) {
            for (auto [program, prefix] : {std::pair{&application, ""}, {&minimal, "minimal_"}}) {
                const auto figures = Figures(Spawn(program->Path(), "--start"));
                if (!figures) return state.SkipWithError("a copy failed");
                for (const auto& [name, value] : *figures)
                    runs[prefix + name].push_back(name == "seconds" ? value * 1000 : value);
            }
        }
        const auto median = [&runs](const std::string& name) {
            std::vector<double>& v = runs[name];
            std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
            return v[v.size() / 2];
        };
        for (const auto& [name, values] : runs)
            state.counters[name == "seconds" ? "main_window_ms" : name] = median(name);
        state.counters["minimal_ms"] = median("minimal_seconds");
        state.counters.erase("minimal_seconds");
        state.counters["main_window_ratio"] = median("seconds") / median("minimal_seconds");
        state.counters["splash_ratio"] = median("splash_ms") / median("minimal_seconds");
        state.SetIterationTime(median("seconds") / 1000);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    benchmark::Initialize(&argc, argv);
    QCoreApplication core(argc, argv);
    Program application{QStringLiteral("app_copy")};
    Program minimal{QStringLiteral("minimal_window")};
    const auto add = [](const char* name, Program& program, const char* copyMode) {
        return benchmark::RegisterBenchmark(name, Measure, std::ref(program), copyMode)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1);
    };
    benchmark::RegisterBenchmark("cold_start", MeasureStart, std::ref(application),
                                 std::ref(minimal))
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);
    add("idle_cpu_10s/timer:1", application, "--idle");
    add("idle_cpu_10s/timer:0", application, "--idle-no-timer");
    add("minimal_qt/idle_cpu_10s/timer:1", minimal, "--idle");
    add("three_manual_write", application, "--write")->Repetitions(3); // 23 s each
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
