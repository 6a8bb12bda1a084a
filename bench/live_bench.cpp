// The live console under a burst, on the offscreen platform: 1,000 messages a second for 10 s
// (keys of three manuals, each sending on two channels, and a shoe swept up and down) handed to
// the window as the link hands over what arrives while no transfer runs. Measured, not asserted:
// the event loop's longest stall, the log's lines and their size, the process's memory, and
// the time from a key's arrival to its keyboard's repaint.
//
//   live_bench [SECONDS [SAMPLE_SECONDS]]
//
// A longer run is the soak: every SAMPLE_SECONDS (default 300) a line gives the memory, the
// longest stall of that stretch, the stalls longer than a frame (16.7 ms) with those that
// overlapped a freeze of a processor and the part of them the window's thread spent waiting for
// one (other programs' load), that thread's whole wait for one, the times a processor of the
// machine froze, and the log's size, so that growth shows while it runs.

#include "bench/bench_support.h"
#include "editor/console_document.h"
#include "editor/console_view.h"
#include "editor/frm_main.h"
#include "editor/live_log_pane.h"
#include "model/catalogue.h"
#include "shell/app_options.h"
#include "shell/app_state.h"
#include "shell/link_controller.h"
#include "shell/live_console.h"
#include "shell/user_messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kPerSecond = 1000;

// Message i of the burst: every tenth the shoe, the rest keys of manual 1, 2, 3 in turn, each
// on its two channels one after the other, pressed and released by turns.
QByteArray Bytes(int status, int first, int second) {
    QByteArray message(3, 0);
    message[0] = static_cast<char>(status);
    message[1] = static_cast<char>(first);
    message[2] = static_cast<char>(second);
    return message;
}

QByteArray Message(int i) {
    if (i % 10 == 9) {
        const int step = i / 10 % 254;
        return Bytes(0xB6, 7, step <= 127 ? step : 254 - step);
    }
    const int key = i / 2;
    const int manual = key % 3;
    return Bytes(0x90 | (manual * 2 + i % 2), 36 + key / 3 % 61, key / 3 / 61 % 2 == 0 ? 100 : 0);
}

// Times from a key's arrival to the first paint of manual 1's keyboard after it, counted in
// 0.1 ms steps up to 1 s (the longest kept exactly): a run of an hour takes no more memory for
// them than one of 10 s, so the process's memory is the window's.
class RepaintWatch : public QObject {
public:
    explicit RepaintWatch(QWidget& keyboard) : counts_(kSteps, 0) {
        keyboard.installEventFilter(this);
    }
    void Arrived() {
        if (!waiting_) arrival_.start();
        waiting_ = true;
    }
    long long Count() const { return count_; }
    double Longest() const { return longest_; }
    // The time that share of the repaints took at most, to the step.
    double At(double share) const {
        const auto wanted = static_cast<long long>(share * static_cast<double>(count_ - 1));
        long long below = 0;
        for (std::size_t step = 0; step < counts_.size(); ++step) {
            below += counts_[step];
            if (below > wanted) return static_cast<double>(step) * kStepMs;
        }
        return longest_;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && waiting_) {
            const double ms = static_cast<double>(arrival_.nsecsElapsed()) / 1e6;
            ++counts_[std::min(static_cast<std::size_t>(ms / kStepMs), kSteps - 1)];
            longest_ = std::max(longest_, ms);
            ++count_;
            waiting_ = false;
        }
        return false;
    }

private:
    static constexpr double kStepMs = 0.1;
    static constexpr std::size_t kSteps = 10000;
    std::vector<long long> counts_;
    long long count_ = 0;
    double longest_ = 0;
    QElapsedTimer arrival_;
    bool waiting_ = false;
};

// The log's lines and the bytes of their text.
struct LogSize {
    int lines = 0;
    qsizetype bytes = 0;
};

LogSize Measure(const vtl::LiveLogPane& log) {
    LogSize size{log.Count(), 0};
    for (const QString& line : log.ShownLines())
        size.bytes += line.size() * 2;
    return size;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const qint64 seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const qint64 sampleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    const qint64 total = kPerSecond * seconds;
    vtl::AppState state;
    state.programFolder = QApplication::applicationDirPath();
    state.catalogue = vtl::BuildCatalogue();
    state.console.manualCount = 3;
    for (int m = 1; m <= 3; ++m)
        state.console.Channels(m) = 3 << (2 * (m - 1));
    state.console.Shoe(1) = vtl::ShoeInfo{6, true, true};
    vtl::ConsoleDocument document(state.console, state.catalogue);
    vtl::MainWindow window(document, state.programFolder);
    window.show();
    window.View().ShowManuals();
    vtl::LinkController link(state, document);
    vtl::UserMessages messages(state, true);
    // The simulated console's ports, as the application chooses them in demo mode: without an
    // input the live console listens to nothing.
    state.midi = {1, 2};
    vtl::AppOptions options;
    options.demo = true;
    options.programFolder = state.programFolder;
    link.Open(options, messages, [] { return false; });
    vtl::LiveLogPane log;
    log.show();
    vtl::LiveConsole live(link, state.console, window.View(), log);
    live.SetOn(true);
    QApplication::processEvents();
    const double memoryBefore = bench::ResidentMegabytes();

    RepaintWatch repaint(*window.findChild<QWidget*>(QStringLiteral("picKeyboard0")));
    bench::LongestStall stall;
    QElapsedTimer clock;
    clock.start();
    qint64 sent = 0;
    double longestStall = 0;
    bench::LongestStall::OverFrame overFrame;
    bench::RunQueueClock queue;
    bench::FreezeWatch freezes;
    bench::Spans frozen;
    double waitedBefore = queue.Seconds();
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const double stretch = stall.TakeMilliseconds();
        const auto over = stall.TakeOverFrame();
        longestStall = std::max(longestStall, stretch);
        overFrame.Add(over);
        const double waited = queue.Seconds();
        const auto still = freezes.Take();
        frozen.Add(still);
        const LogSize size = Measure(log);
        std::printf("%6.0f s: %lld messages, resident %.1f MB, longest stall %.1f ms; %d over a "
                    "frame (%d during a freeze), %.0f ms, %.0f ms of it waiting for a processor; "
                    "waited for one %.1f s in all; a processor froze %d times, at most %.1f ms; "
                    "log %d lines %.0f kB\n",
                    static_cast<double>(clock.elapsed()) / 1000, static_cast<long long>(sent),
                    bench::ResidentMegabytes(), stretch, over.stalls.Count(),
                    over.stalls.Overlapping(still), over.stalls.TotalMs(), over.queuedMs,
                    waited - waitedBefore, still.Count(), still.LongestMs(), size.lines,
                    static_cast<double>(size.bytes) / 1024);
        std::fflush(stdout);
        waitedBefore = waited;
    });
    sampler.start(static_cast<int>(sampleSeconds * 1000));
    QTimer burst;
    burst.setTimerType(Qt::PreciseTimer);
    burst.setInterval(1);
    QObject::connect(&burst, &QTimer::timeout, [&] {
        const qint64 due = std::min<qint64>(clock.elapsed() * kPerSecond / 1000, total);
        for (; sent < due; ++sent) {
            const QByteArray message = Message(static_cast<int>(sent));
            if ((static_cast<unsigned char>(message[0]) & 0x0F) == 0) repaint.Arrived();
            emit link.MessageWhileQuiet(message);
        }
        if (sent == total) QApplication::quit();
    });
    burst.start();
    QApplication::exec();

    longestStall = std::max(longestStall, stall.TakeMilliseconds());
    overFrame.Add(stall.TakeOverFrame());
    frozen.Add(freezes.Take());
    const LogSize size = Measure(log);
    std::printf("messages: %lld in %.1f s\n", static_cast<long long>(sent),
                static_cast<double>(clock.elapsed()) / 1000);
    std::printf("longest event-loop stall: %.1f ms; %d stalls over a frame (16.7 ms), %d of them "
                "during a freeze of a processor, %.0f ms in all, %.0f ms of it waiting for a "
                "processor\n",
                longestStall, overFrame.stalls.Count(), overFrame.stalls.Overlapping(frozen),
                overFrame.stalls.TotalMs(), overFrame.queuedMs);
    std::printf("processors froze (a sleeping thread woke over a frame late): %d times, at most "
                "%.1f ms\n",
                frozen.Count(), frozen.LongestMs());
    std::printf("log: %d lines kept (cap %d), %.0f kB of text\n", size.lines,
                vtl::LiveLogPane::kCapacity, static_cast<double>(size.bytes) / 1024);
    std::printf("resident memory: %.1f MB before, %.1f MB after\n", memoryBefore,
                bench::ResidentMegabytes());
    std::printf("arrival to keyboard repaint: median %.1f ms, 95th %.1f ms, max %.1f ms (%lld)\n",
                repaint.At(0.5), repaint.At(0.95), repaint.Longest(), repaint.Count());
    return 0;
}
