#pragma once
// The picture viewer's window: one picture, scaled to fit the window with its proportions kept,
// centred on black. A tap or Esc closes it. A picture that cannot be read is named on the screen
// instead, and the window closes the same way.

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

class CPictureView : public QWidget {
public:
    explicit CPictureView(const QString& path, QWidget* parent = nullptr);

    bool HasPicture() const { return !m_picture.isNull(); }
    QSize PictureSize() const { return m_picture.size(); }
    // Where the picture is drawn in the window as it is now; empty without a picture.
    QRect PictureRect() const;
    // What the window says instead of a picture; empty when it shows one.
    const QString& Message() const { return m_message; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage m_picture;
    QPixmap m_scaled; // the picture at the window's size, made once per size
    QString m_message;
};

// The picture's size scaled down, proportions kept, to fit within `room`; pictures that fit are
// not enlarged. Never smaller than `least` in either direction, so that a tiny picture still
// gets a window that can be tapped.
QSize InitialWindowSize(QSize picture, QSize room, QSize least);
