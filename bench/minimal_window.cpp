// The reference for the application's start-up and idle figures: the smallest Qt Widgets
// program that shows one window. It speaks app_bench's copy protocol: "--start STAMP" prints
// the seconds from the launcher's stamp to its window's first paint; "--idle STAMP" prints its
// CPU use over 10 s with a 100 ms timer running, as the application's transfer timer does.

#include "bench/bench_support.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <ctime>
#include <string_view>

int main(int argc, char* argv[]) {
    const double mainMs = bench::NowMs();
    if (argc < 3) return 2;
    const std::string_view mode = argv[1];
    const double startedMs = QByteArray(argv[2]).toDouble();
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QLabel window(QStringLiteral("One window"));
    window.resize(640, 480);
    window.show();

    bench::OnFirstPaint painted(window, [&] {
        const double shownMs = bench::NowMs();
        if (mode == "--start") {
            std::printf("%f load_ms=%f\n", (shownMs - startedMs) / 1000, mainMs - startedMs);
            QCoreApplication::exit(0);
            return;
        }
        auto* tick = new QTimer(&app);
        QObject::connect(tick, &QTimer::timeout, &app, [] {});
        tick->start(100);
        const std::clock_t cpu = std::clock();
        QTimer::singleShot(10000, Qt::PreciseTimer, &app, [cpu, shownMs] {
            const double seconds = (bench::NowMs() - shownMs) / 1000;
            const double cpuMsPerS =
                static_cast<double>(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC / seconds;
            std::printf("%f cpu_ms_per_s=%f rss_mb=%f\n", seconds, cpuMsPerS,
                        bench::ResidentMegabytes());
            QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}
