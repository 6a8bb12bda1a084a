// Time from a click on a piston, a keyboard or a shoe button to its editor painted, and the
// event loop's longest stall meanwhile, on the offscreen platform. The first opening builds
// the editor and fills its lists; every later one only re-reads the model. Each run of the
// first opening gets a fresh main window, so only the process's very first run pays for
// loading fonts and styles; the time to build the main window is not counted.

#include "bench/bench_support.h"
#include "editor/console_document.h"
#include "editor/console_view.h"
#include "editor/frm_main.h"
#include "model/catalogue.h"
#include "model/console_model.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// A main window showing three manuals; piston cmdPiston33 (the second manual's) is an
// Ahlborn general.
struct Console {
    Console() {
        console.manualCount = 3;
        console.pistons[kSlot] = {5, 3, 5, vtl::kGeneralGroup};
        main.show();
        main.View().ShowManuals();
        QApplication::processEvents();
    }
    QAbstractButton& Button(const char* name) {
        return *main.findChild<QAbstractButton*>(QString::fromLatin1(name));
    }

    static constexpr int kSlot = 33;
    vtl::FunctionCatalogue catalogue = vtl::BuildCatalogue();
    vtl::ConsoleModel console;
    vtl::ConsoleDocument document{console, catalogue};
    vtl::MainWindow main{document, QApplication::applicationDirPath()};
};

// Watches every event: once an expose or update request of the open editor's window has been
// delivered with the editor painted, the moment is taken and the editor cancelled.
class EditorPainted : public QObject {
public:
    EditorPainted() { qApp->installEventFilter(this); }
    ~EditorPainted() override { qApp->removeEventFilter(this); }

    Clock::time_point At() const { return at_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* editor = dynamic_cast<QDialog*>(QApplication::activeModalWidget());
        if (!editor || done_) return false;
        if (event->type() == QEvent::Paint && watched == editor) painted_ = true;
        if (delivering_ || watched != editor->windowHandle() ||
            (event->type() != QEvent::Expose && event->type() != QEvent::UpdateRequest)) {
            return false;
        }
        delivering_ = true;
        watched->event(event);
        delivering_ = false;
        if (painted_) {
            at_ = Clock::now();
            done_ = true;
            editor->reject();
        }
        return true;
    }

private:
    bool painted_ = false;
    bool delivering_ = false;
    bool done_ = false;
    Clock::time_point at_;
};

// One opening from the event loop, as a user's click comes.
struct Opening {
    double seconds;
    double stallMs;
};

// Clicks the button; returns when its editor has been painted and cancelled.
Opening ClickToPainted(QAbstractButton& button) {
    EditorPainted painted;
    const bench::LongestStall stall;
    QEventLoop loop;
    Clock::time_point start;
    QTimer::singleShot(0, &loop, [&] {
        start = Clock::now();
        button.click(); // returns when the editor closes
        loop.quit();
    });
    loop.exec();
    return {std::chrono::duration<double>(painted.At() - start).count(), stall.Milliseconds()};
}

void Report(benchmark::State& state, double& longestStallMs, const Opening& opening) {
    state.SetIterationTime(opening.seconds);
    longestStallMs = std::max(longestStallMs, opening.stallMs);
    state.counters["longest_stall_ms"] = longestStallMs;
}

void BmFirstOpening(benchmark::State& state, const char* button) {
    double firstInProcess = -1;
    double longestStallMs = 0;
    for (auto _ : state) {
        const auto console = std::make_unique<Console>();
        const Opening opening = ClickToPainted(console->Button(button));
        if (firstInProcess < 0) firstInProcess = opening.seconds;
        Report(state, longestStallMs, opening);
    }
    state.counters["first_in_process_ms"] = firstInProcess * 1e3;
}

void BmLaterOpening(benchmark::State& state, const char* button) {
    Console console;
    ClickToPainted(console.Button(button));
    double longestStallMs = 0;
    for (auto _ : state)
        Report(state, longestStallMs, ClickToPainted(console.Button(button)));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says at every opening that it cannot cut windows to their
    // outline; that would bury the figures.
    static const QtMessageHandler kStandard = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.contains(QLatin1String("does not support"))) kStandard(type, context, text);
        });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (const char* button : {"cmdPiston33", "picKeyboard1", "btnAddShoe1"}) {
        benchmark::RegisterBenchmark((std::string("first_opening/") + button).c_str(),
                                     BmFirstOpening, button)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(20);
        benchmark::RegisterBenchmark((std::string("later_opening/") + button).c_str(),
                                     BmLaterOpening, button)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
