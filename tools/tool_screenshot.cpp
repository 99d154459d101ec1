// Saves a picture of the whole X display (or of one window) as PNG, for the
// smoke test that runs the application under Xvfb:
//   tool_screenshot FILE.png [WINDOW_ID]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tool_screenshot FILE.png [WINDOW_ID]\n");
        return 2;
    }
    const WId window = argc > 2 ? WId(QByteArray(argv[2]).toULongLong(nullptr, 0)) : 0;
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "tool_screenshot: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
