// Time from a click on a piston to its editor painted, on the offscreen platform. The first
// opening builds the editor and fills its lists; every later one only re-reads the model. Each
// run of the first opening gets a fresh main window, so only the process's very first run pays
// for loading fonts and styles; the time to build the main window is not counted.

#include "editor/frm_main.h"
#include "editor/main_actions.h"
#include "model/catalogue.h"
#include "model/console_model.h"
#include "tests/gui/no_actions.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QWindow>

#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// A main window showing three manuals; the clicked piston is an Ahlborn general.
struct Console {
    Console() {
        console.manualCount = 3;
        console.pistons[kSlot] = {5, 3, 5, vtl::kGeneralGroup};
        main.show();
        main.ShowManuals(3);
        QApplication::processEvents();
    }
    QAbstractButton& piston() {
        return *main.findChild<QAbstractButton*>(QStringLiteral("cmdPiston%1").arg(kSlot));
    }

    static constexpr int kSlot = 33;
    NoActions actions;
    vtl::FunctionCatalogue catalogue = vtl::BuildCatalogue();
    vtl::ConsoleModel console;
    vtl::frmMain main{actions, console, catalogue, QApplication::applicationDirPath()};
};

// Watches every event: once an expose or update request of the open editor's window has been
// delivered with the editor painted, the moment is taken and the editor cancelled.
class EditorPainted : public QObject {
public:
    EditorPainted() { qApp->installEventFilter(this); }
    ~EditorPainted() override { qApp->removeEventFilter(this); }

    Clock::time_point at() const { return at_; }

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

// Clicks the piston; returns when its editor has been painted and cancelled.
double ClickToPaintedSeconds(QAbstractButton& piston) {
    EditorPainted painted;
    const auto start = Clock::now();
    piston.click();
    return std::chrono::duration<double>(painted.at() - start).count();
}

void BM_FirstOpening(benchmark::State& state) {
    double firstInProcess = -1;
    for (auto _ : state) {
        const auto console = std::make_unique<Console>();
        const double seconds = ClickToPaintedSeconds(console->piston());
        if (firstInProcess < 0) firstInProcess = seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["first_in_process_ms"] = firstInProcess * 1e3;
}
BENCHMARK(BM_FirstOpening)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_LaterOpening(benchmark::State& state) {
    Console console;
    ClickToPaintedSeconds(console.piston());
    for (auto _ : state)
        state.SetIterationTime(ClickToPaintedSeconds(console.piston()));
}
BENCHMARK(BM_LaterOpening)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says at every opening that it cannot cut windows to their
    // outline; that would bury the figures.
    static const QtMessageHandler standard = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (!text.contains(QLatin1String("does not support"))) standard(type, context, text);
        });
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
