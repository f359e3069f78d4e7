// pimg, the picture viewer the background page launches: the picture scaled to fit, a tap or Esc
// to close it, and a plain message for a picture that cannot be shown.

#include "PictureView.h"
#include "tests/common/TestLibrary.h"
#include "tests/support/TestDriver.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>

namespace {

class PictureViewerTest : public ::testing::Test {
protected:
    // The driver's presence gives the tests their application object.
    PictureViewerTest() = default;

    // A picture in two halves, red on the left and blue on the right.
    std::string WritePicture(const std::string& name, int width, int height) {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::red);
        for (int y = 0; y < height; ++y) {
            for (int x = width / 2; x < width; ++x) {
                picture.setPixelColor(x, y, Qt::blue);
            }
        }
        const std::string path = m_folder.File(name);
        EXPECT_TRUE(picture.save(QString::fromStdString(path)));
        return path;
    }

    static QColor PixelAt(CPictureView& view, int x, int y) {
        return view.grab().toImage().pixelColor(x, y);
    }

    testing_support::TempFolder m_folder;
    testing_support::CTestDriver m_driver;
};

TEST_F(PictureViewerTest, ThePictureFitsTheWindowWithItsProportionsKept) {
    CPictureView wide(QString::fromStdString(WritePicture("wide.png", 200, 100)));
    ASSERT_TRUE(wide.HasPicture());
    EXPECT_TRUE(wide.Message().isEmpty());
    wide.resize(300, 300);
    EXPECT_EQ(wide.PictureRect(), QRect(0, 75, 300, 150));
    EXPECT_EQ(PixelAt(wide, 10, 150), QColor(Qt::red));
    EXPECT_EQ(PixelAt(wide, 290, 150), QColor(Qt::blue));
    EXPECT_EQ(PixelAt(wide, 150, 20), QColor(Qt::black)); // above the picture

    // A small picture grows to the window; a tall one keeps to its height.
    CPictureView tall(QString::fromStdString(WritePicture("tall.jpg", 30, 60)));
    ASSERT_TRUE(tall.HasPicture());
    tall.resize(240, 320);
    EXPECT_EQ(tall.PictureRect(), QRect(40, 0, 160, 320));
    EXPECT_EQ(PixelAt(tall, 20, 160), QColor(Qt::black));
    tall.resize(100, 100);
    EXPECT_EQ(tall.PictureRect(), QRect(25, 0, 50, 100));
}

TEST_F(PictureViewerTest, ATapOrEscClosesTheViewerAndOtherKeysDoNot) {
    const QString path = QString::fromStdString(WritePicture("bgpic1.jpg", 240, 320));
    CPictureView tapped(path);
    tapped.show();
    const QPointF point(50, 50);
    QMouseEvent press(QEvent::MouseButtonPress, point, tapped.mapToGlobal(point), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&tapped, &press);
    EXPECT_FALSE(tapped.isVisible());

    CPictureView keyed(path);
    keyed.show();
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(&keyed, &space);
    EXPECT_TRUE(keyed.isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&keyed, &escape);
    EXPECT_FALSE(keyed.isVisible());
}

TEST_F(PictureViewerTest, APictureThatCannotBeShownIsNamedInsteadAndStillCloses) {
    testing_support::WriteFile(m_folder.File("bgpic9.jpg"), "not a picture at all");
    for (const std::string& name : {std::string("bgpic9.jpg"), std::string("missing.jpg")}) {
        SCOPED_TRACE(name);
        CPictureView view(QString::fromStdString(m_folder.File(name)));
        EXPECT_FALSE(view.HasPicture());
        EXPECT_TRUE(view.PictureRect().isEmpty());
        EXPECT_TRUE(view.Message().contains(QString::fromStdString(name)));
        view.resize(240, 320);
        view.show();
        EXPECT_EQ(PixelAt(view, 2, 2), QColor(Qt::black));
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&view, &escape);
        EXPECT_FALSE(view.isVisible());
    }
    CPictureView nothing{QString()};
    EXPECT_FALSE(nothing.HasPicture());
    EXPECT_FALSE(nothing.Message().isEmpty());
}

TEST(PictureViewerWindow, LargePicturesShrinkToTheRoomAndSmallOnesGetTheHandheldsScreen) {
    const QSize least(240, 320);
    EXPECT_EQ(InitialWindowSize({2000, 1000}, {1200, 900}, least), QSize(1200, 600));
    EXPECT_EQ(InitialWindowSize({1000, 3000}, {1200, 900}, least), QSize(300, 900));
    EXPECT_EQ(InitialWindowSize({480, 640}, {1200, 900}, least), QSize(480, 640));
    EXPECT_EQ(InitialWindowSize({100, 50}, {1200, 900}, least), least);
    EXPECT_EQ(InitialWindowSize({}, {1200, 900}, least), least);
    // Never narrower than the handheld's screen, even when a long picture shrinks.
    EXPECT_EQ(InitialWindowSize({4000, 400}, {1200, 900}, least), QSize(1200, 320));
}

// The program as built: it starts, shows the picture and stays until someone closes it, also
// when the picture cannot be read.
TEST_F(PictureViewerTest, TheBuiltViewerKeepsShowingUntilItIsClosed) {
    const std::string picture = WritePicture("bgpic2.jpg", 240, 320);
    for (const std::string& path : {picture, m_folder.File("missing.jpg")}) {
        SCOPED_TRACE(path);
        QProcess viewer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        viewer.setProcessEnvironment(environment);
        viewer.start(QStringLiteral(LOMEVA_VIEWER), {QString::fromStdString(path)});
        ASSERT_TRUE(viewer.waitForStarted(5000));
        EXPECT_FALSE(viewer.waitForFinished(1500)) << viewer.readAllStandardError().toStdString();
        viewer.kill();
        viewer.waitForFinished(5000);
    }
}

} // namespace
