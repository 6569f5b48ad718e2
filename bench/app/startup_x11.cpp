// Start-up of the real program to a shown window, on an X display: the program is started
// again and again and the time from starting it to its main window being mapped is taken.
//
//     xvfb-run -a -s "-screen 0 1280x1024x24" app_startup_x11 PATH/TO/orvix-kl [RUNS]
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kCaption = QStringLiteral("ORVIX - Методика \"Кольца Ландольта\"");

QString Output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Whether a window with the program's caption is mapped and viewable.
bool Shown() {
    const QString tree = Output(QStringLiteral("xwininfo"), {"-root", "-tree"});
    for (const QString& line : tree.split(QLatin1Char('\n'))) {
        if (!line.contains(QLatin1Char('"') + kCaption + QLatin1Char('"'))) continue;
        const QString id = line.trimmed().section(QLatin1Char(' '), 0, 0);
        return Output(QStringLiteral("xwininfo"), {"-id", id}).contains("IsViewable");
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: app_startup_x11 PROGRAM [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QProcess program;
        QElapsedTimer clock;
        clock.start();
        program.start(QString::fromLocal8Bit(argv[1]), {});
        bool shown = false;
        while (!(shown = Shown()) && clock.elapsed() < 10000) QThread::msleep(2);
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        program.terminate();
        if (!program.waitForFinished(5000)) program.kill();
        if (!shown) {
            std::fprintf(stderr, "run %d: the window did not appear\n", run + 1);
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "start-up to a shown window over %d runs: min %.1f ms, median %.1f ms, "
        "max %.1f ms\n",
        runs, times.front(), times[times.size() / 2], times.back());
    return 0;
}
