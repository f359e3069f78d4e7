// pimg: the picture viewer that the background page starts with a picture's path. It shows the
// picture until a tap or Esc, and the reader never waits for it.

#include "PictureView.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    CPictureView view(arguments.size() > 1 ? arguments.at(1) : QString());

    // The handheld's screen is the least a window gets; a large picture fits three quarters of
    // the desktop.
    const QSize least(240, 320);
    QRect desktop(QPoint(0, 0), least * 2);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        desktop = screen->availableGeometry();
    }
    const QSize size = InitialWindowSize(view.PictureSize(), desktop.size() * 3 / 4, least);
    view.resize(size);
    view.move(desktop.center() - QPoint(size.width() / 2, size.height() / 2));
    view.show();
    return QApplication::exec();
}
