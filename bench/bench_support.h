#pragma once
// What the application benchmarks and the minimal reference program measure alike: a clock
// shared between processes, the first paint of a window, the event loop's longest stall and
// the process's resident memory.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>

namespace bench {

// The monotonic clock is shared by all processes, so a launcher's stamp, passed to the copy,
// and the copy's own stamps subtract.
inline double NowMs() {
    using Ms = std::chrono::duration<double, std::milli>;
    return Ms(std::chrono::steady_clock::now().time_since_epoch()).count();
}

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

// The longest time the event loop went without waiting for events, from each wake-up to the
// next time it was about to block: what a user feels as a frozen window. Nested loops (a
// modal dialog's) count as the outer one's wait.
class LongestStall : public QObject {
public:
    LongestStall() {
        auto* dispatcher = QAbstractEventDispatcher::instance();
        connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] {
            if (awakeAt_ < 0) awakeAt_ = NowMs();
        });
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (awakeAt_ >= 0) longest_ = std::max(longest_, NowMs() - awakeAt_);
            awakeAt_ = -1;
        });
    }
    double milliseconds() const { return longest_; }

private:
    double awakeAt_ = -1;
    double longest_ = 0;
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
