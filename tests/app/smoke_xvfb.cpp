// Starts the real program on an X display, finds its window by its caption, copies the
// window's pixels from the screen and checks that something is drawn there.
#include <QCoreApplication>
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
#include <optional>

namespace {

const QString kCaption = QStringLiteral("ORVIX - Методика \"Кольца Ландольта\"");

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The window's id when a window with the caption exists.
std::optional<QString> FindWindow() {
    const QString tree = Run(QStringLiteral("xwininfo"), {"-root", "-tree"});
    for (const QString& line : tree.split(QLatin1Char('\n'))) {
        if (!line.contains(QLatin1Char('"') + kCaption + QLatin1Char('"'))) continue;
        return line.trimmed().section(QLatin1Char(' '), 0, 0);
    }
    return std::nullopt;
}

// The window's rectangle on the screen, once it is mapped.
std::optional<QRect> Viewable(const QString& id) {
    const QString info = Run(QStringLiteral("xwininfo"), {"-id", id});
    if (!info.contains(QLatin1String("IsViewable"))) return std::nullopt;
    auto field = [&](const char* name) {
        const QRegularExpression re(QLatin1String(name) + QStringLiteral(":\\s*(-?\\d+)"));
        return re.match(info).captured(1).toInt();
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                 field("Height"));
}

int Colours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: app_smoke_xvfb PROGRAM [SCREENSHOT.png]\n");
        return 2;
    }
    QProcess program;
    program.start(QString::fromLocal8Bit(argv[1]), {});
    if (!program.waitForStarted(5000)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    std::optional<QRect> rect;
    std::optional<QString> id;
    while (clock.elapsed() < 15000 && !rect) {
        if (!id) id = FindWindow();
        if (id) rect = Viewable(*id);
        if (!rect) QThread::msleep(50);
    }
    int result = 1;
    if (!rect) {
        std::fprintf(stderr, "no window captioned as the program's appeared\n");
    } else {
        std::printf("window %s at %d,%d size %dx%d after %lld ms\n", qPrintable(*id), rect->x(),
                    rect->y(), rect->width(), rect->height(),
                    static_cast<long long>(clock.elapsed()));
        // Give the first paint a moment, then look at the pixels.
        QImage shot;
        int colours = 0;
        for (int attempt = 0; attempt < 40 && colours < 8; ++attempt) {
            QThread::msleep(100);
            shot = QGuiApplication::primaryScreen()
                       ->grabWindow(0, rect->x(), rect->y(), rect->width(), rect->height())
                       .toImage();
            colours = Colours(shot);
        }
        std::printf("%d colours in the window\n", colours);
        if (argc > 2) shot.save(QString::fromLocal8Bit(argv[2]));
        if (rect->width() >= 1024 && rect->height() >= 730 && colours >= 8)
            result = 0;
        else
            std::fprintf(stderr, "the window is blank or too small\n");
    }
    program.terminate();
    if (!program.waitForFinished(5000)) program.kill();
    return result;
}
