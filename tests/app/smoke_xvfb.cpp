// Starts the real program on an X display, finds its window by its caption, copies the
// window's pixels from the screen and checks that something is drawn there.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QThread>
#include <cstdio>

namespace {

QString Output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The rectangle of the mapped window with the program's caption; empty while there is none.
QRect ProgramWindow() {
    const QString caption = QStringLiteral("\"ORVIX - Методика \"Кольца Ландольта\"\"");
    for (const QString& line : Output("xwininfo", {"-root", "-tree"}).split('\n')) {
        if (!line.contains(caption)) continue;
        const QString info = Output("xwininfo", {"-id", line.trimmed().section(' ', 0, 0)});
        if (!info.contains("IsViewable")) return {};
        auto field = [&](const char* name) {
            return QRegularExpression(QString(name) + ":\\s*(-?\\d+)")
                .match(info)
                .captured(1)
                .toInt();
        };
        return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                field("Height")};
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) return 2;
    QProcess program;
    program.start(QString::fromLocal8Bit(argv[1]), {});
    QElapsedTimer clock;
    clock.start();
    QRect window;
    while ((window = ProgramWindow()).isEmpty() && clock.elapsed() < 15000) QThread::msleep(50);
    int colours = 0;
    // Give the first paint a moment, then count the colours in the window's pixels.
    for (int attempt = 0; !window.isEmpty() && attempt < 40 && colours < 8; ++attempt) {
        QThread::msleep(100);
        const QImage shot =
            QGuiApplication::primaryScreen()
                ->grabWindow(0, window.x(), window.y(), window.width(), window.height())
                .toImage();
        QSet<QRgb> seen;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) seen.insert(shot.pixel(x, y));
        colours = static_cast<int>(seen.size());
    }
    program.terminate();
    if (!program.waitForFinished(5000)) program.kill();
    std::printf("window %dx%d at %d,%d, %d colours\n", window.width(), window.height(), window.x(),
                window.y(), colours);
    return window.width() >= 1024 && window.height() >= 730 && colours >= 8 ? 0 : 1;
}
