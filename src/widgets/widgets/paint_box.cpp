#include "widgets/paint_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace pmkest {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Mouse moves over a button belong to it, not to the window's background.
    setAttribute(Qt::WA_NoMousePropagation);
}

void PaintBox::present(const QImage& image) {
    m_canvas = image;
    if (m_painting) return;
    // Show this image as it is; the Paint handler would draw the resting look over it.
    m_presenting = true;
    repaint();
    m_presenting = false;
}

void PaintBox::paintEvent(QPaintEvent*) {
    if (onPaint && !m_presenting) {
        m_painting = true;
        onPaint();
        m_painting = false;
    }
    QPainter painter(this);
    if (m_canvas.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(0, 0, m_canvas);
}

void PaintBox::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit mouseMoved();
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = true;
    event->accept();
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click && isEnabled()) emit clicked();
}

}  // namespace pmkest
