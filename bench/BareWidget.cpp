// The start-up benchmark's reference: the least a Qt widget program does to put a window on
// the screen, at the reader's window size.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(240, 320);
    window.show();
    return QApplication::exec();
}
