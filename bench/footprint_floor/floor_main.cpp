// The bare Qt floor: a frameless, top-most 207 x 331 window with fifteen labels, a tray icon
// and a 60 s timer that does nothing. No settings, no network, no pictures beyond one icon.
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setWindowTitle(QStringLiteral("Floor"));
    window.setFixedSize(207, 331);
    window.move(0, 0);
    for (int i = 0; i < 15; ++i) {
        auto* label = new QLabel(QStringLiteral("Label %1").arg(i + 1), &window);
        label->setGeometry(4, 4 + i * 21, 199, 20);
    }

    QPixmap iconPixels(16, 16);
    iconPixels.fill(Qt::cyan);
    QSystemTrayIcon tray{QIcon(iconPixels)};
    tray.setToolTip(QStringLiteral("Floor"));
    tray.show();

    QTimer minute;
    minute.setTimerType(Qt::CoarseTimer);
    minute.start(60000);
    QObject::connect(&minute, &QTimer::timeout, &window, [] {});

    window.show();
    return app.exec();
}
