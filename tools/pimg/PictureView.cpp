#include "PictureView.h"

#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QImage ReadPicture(const QString& path, QString& message) {
    if (path.isEmpty()) {
        message = QStringLiteral("没有指定图片");
        return {};
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage picture = reader.read();
    if (picture.isNull()) {
        message = QStringLiteral("无法显示图片\n%1").arg(QFileInfo(path).fileName());
    }
    return picture;
}

} // namespace

CPictureView::CPictureView(const QString& path, QWidget* parent) : QWidget(parent) {
    m_picture = ReadPicture(path, m_message);
    setWindowTitle(QFileInfo(path).fileName());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

QRect CPictureView::PictureRect() const {
    if (m_picture.isNull() || width() <= 0 || height() <= 0) {
        return {};
    }
    const QSize fitted = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void CPictureView::resizeEvent(QResizeEvent* event) {
    m_scaled = QPixmap();
    QWidget::resizeEvent(event);
}

void CPictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_picture.isNull()) {
        painter.setPen(QColor(0xf4, 0xec, 0xd8));
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                         m_message);
        return;
    }
    const QRect target = PictureRect();
    if (m_scaled.size() != target.size()) {
        m_scaled = QPixmap::fromImage(
            m_picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    painter.drawPixmap(target.topLeft(), m_scaled);
}

void CPictureView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    close();
}

void CPictureView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QSize InitialWindowSize(QSize picture, QSize room, QSize least) {
    QSize size = picture.isEmpty() ? least : picture;
    if (!room.isEmpty() && (size.width() > room.width() || size.height() > room.height())) {
        size = size.scaled(room, Qt::KeepAspectRatio);
    }
    return size.expandedTo(least);
}
