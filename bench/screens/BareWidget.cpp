// The start-up benchmark's references: the least a Qt widget program does to put a window on
// the screen, at the reader's window size; with the argument "text", the same window showing one
// line of Chinese text in the reader's face, which is what any program that writes Chinese pays
// for its fonts.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

#include <cstring>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (argc > 1 && std::strcmp(argv[1], "text") == 0) {
        QFont::insertSubstitutions(
            QString::fromUtf16(u"宋体"),
            {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
        auto label = std::make_unique<QLabel>(QString::fromUtf16(u"静夜思　李白　床前明月光"));
        label->setFont(QFont(QString::fromUtf16(u"宋体"), 9));
        window = std::move(label);
    } else {
        window = std::make_unique<QWidget>();
    }
    window->resize(240, 320);
    window->show();
    return QApplication::exec();
}
