#pragma once
// What the application benchmarks and the minimal reference program measure alike: a clock
// shared between processes, the first paint of a window, the event loop's longest stall, the
// machine's freezes and the process's resident memory.

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <numeric>
#include <stop_token>
#include <thread>
#include <utility>
#include <vector>

#ifdef __linux__
#include <sched.h>
#endif

namespace bench {

// A frame at 60 Hz: a longer stall shows.
inline constexpr double kFrameMs = 1000.0 / 60;

// The monotonic clock is shared by all processes, so a launcher's stamp, passed to the copy,
// and the copy's own stamps subtract.
inline double NowMs() {
    using Ms = std::chrono::duration<double, std::milli>;
    return Ms(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A stretch of time on NowMs's clock.
struct Span {
    double from = 0;
    double to = 0;
    double Ms() const { return to - from; }
};

// Stretches of time gathered over a run: how many, how long, and which fell in others.
struct Spans {
    std::vector<Span> all;
    int Count() const { return static_cast<int>(all.size()); }
    double TotalMs() const {
        return std::accumulate(all.begin(), all.end(), 0.0,
                               [](double sum, const Span& span) { return sum + span.Ms(); });
    }
    double LongestMs() const {
        double longest = 0;
        for (const Span& span : all)
            longest = std::max(longest, span.Ms());
        return longest;
    }
    // How many of these overlap one of others.
    int Overlapping(const Spans& others) const {
        return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const Span& span) {
            return std::any_of(others.all.begin(), others.all.end(), [&](const Span& other) {
                return span.from < other.to && other.from < span.to;
            });
        }));
    }
    void Add(const Spans& more) { all.insert(all.end(), more.all.begin(), more.all.end()); }
};

// Calls `then` right after the expose or update request that first paints `widget` has been
// delivered, so the moment includes every child's painting and the flush, but nothing the
// window queued for later.
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

// The seconds the thread that made it has waited for a processor while it could run (Linux's
// schedstat); 0 where /proc cannot be read. On a busy machine it tells the stalls the load
// made from those the program made. The file stays open: a read costs a few microseconds.
class RunQueueClock {
public:
    RunQueueClock() : schedstat_(QStringLiteral("/proc/thread-self/schedstat")) {
        schedstat_.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    double Seconds() {
        if (!schedstat_.isOpen() || !schedstat_.seek(0)) return 0;
        const QList<QByteArray> fields = schedstat_.read(128).split(' ');
        return fields.size() > 1 ? fields[1].toDouble() / 1e9 : 0;
    }

private:
    QFile schedstat_;
};

// The event loop's longest stall: a watcher thread posts a ping to the object's thread and,
// once it is handled, the next one 1 ms later; the longest a ping waited is what a user feels
// as a frozen window. A modal dialog's own loop handles pings, as it handles the user's input.
class LongestStall : public QObject {
public:
    LongestStall() : watcher_([this](std::stop_token stop) { Watch(stop); }) {}
    ~LongestStall() override {
        watcher_.request_stop();
        watcher_.join();
    }
    double Milliseconds() const { return longest_.load(); }
    // The stalls longer than a frame at 60 Hz, and how much of their time the object's thread
    // waited for a processor (from the ping before each, 1 ms earlier).
    struct OverFrame {
        Spans stalls;
        double queuedMs = 0;
        void Add(const OverFrame& more) {
            stalls.Add(more.stalls);
            queuedMs += more.queuedMs;
        }
    };
    // The longest stall and those over a frame since the last call, the watch starting afresh:
    // a long run's stretches. Called from the object's thread.
    double TakeMilliseconds() { return longest_.exchange(0); }
    OverFrame TakeOverFrame() { return std::exchange(overFrame_, {}); }

private:
    void Watch(const std::stop_token& stop) {
        while (!stop.stop_requested()) {
            const double postedAt = NowMs();
            handled_ = false;
            QMetaObject::invokeMethod(
                this,
                [this, postedAt] {
                    const double handledAt = NowMs();
                    const double waited = handledAt - postedAt;
                    const double queued = queue_.Seconds();
                    longest_ = std::max(longest_.load(), waited);
                    if (waited > kFrameMs) {
                        overFrame_.Add({{{{postedAt, handledAt}}}, (queued - lastQueued_) * 1000});
                    }
                    lastQueued_ = queued;
                    handled_ = true;
                },
                Qt::QueuedConnection);
            while (!handled_ && !stop.stop_requested())
                std::this_thread::sleep_for(kPoll);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    static constexpr auto kPoll = std::chrono::microseconds(100);
    std::atomic<double> longest_ = 0;
    // Touched by the object's thread alone.
    RunQueueClock queue_;
    double lastQueued_ = queue_.Seconds();
    OverFrame overFrame_;
    std::atomic<bool> handled_ = false;
    std::jthread watcher_;
};

// Times a processor of the machine stood still: on each processor a thread that does nothing
// but sleep 1 ms at a time notes every wake-up that came more than a frame late. Such a freeze
// is no program's doing: the host of a virtual machine may stop one of its processors, or all
// of them once a cap on their time is spent, whatever the priorities inside. A stall of the
// window that overlaps one is likely to be one.
class FreezeWatch {
public:
    FreezeWatch() {
        const unsigned processors = std::max(1U, std::thread::hardware_concurrency());
        for (unsigned cpu = 0; cpu < processors; ++cpu)
            watchers_.emplace_back([this, cpu](std::stop_token stop) { Watch(stop, cpu); });
    }
    // The freezes since the last call.
    Spans Take() {
        const std::lock_guard lock(mutex_);
        return std::exchange(freezes_, {});
    }

private:
    void Watch(const std::stop_token& stop, unsigned cpu) {
#ifdef __linux__
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cpu, &one);
        sched_setaffinity(0, sizeof one, &one); // this thread only
#else
        (void)cpu;
#endif
        double before = NowMs();
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const double now = NowMs();
            if (now - before > kFrameMs) {
                const std::lock_guard lock(mutex_);
                freezes_.all.push_back({before, now});
            }
            before = now;
        }
    }

    std::mutex mutex_;
    Spans freezes_;
    std::vector<std::jthread> watchers_; // last: they stop and join before the rest goes
};

// VmRSS of this process, in MB; 0 when /proc cannot be read.
inline double ResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ')[0].toDouble() / 1024;
    }
    return 0;
}

} // namespace bench
