#include "widgets/buttons/paint_box.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/qt_compat.h"
#include "widgets/buttons/pressable.h"

namespace pmkest {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Mouse moves over a button belong to it, not to the window's background.
    setAttribute(Qt::WA_NoMousePropagation);
    // Reached by Tab only: a mouse click leaves no focus mark behind.
    setFocusPolicy(Qt::TabFocus);
    InstallPressableAccessibility();
}

void PaintBox::press() {
    if (isEnabled()) emit clicked();
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
    painter.end();
    // The mark is on the screen only; the canvas keeps the look as drawn.
    if (hasFocus()) DrawFocusMark(this);
}

void PaintBox::keyPressEvent(QKeyEvent* event) {
    if (!IsPressKey(event)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    press();
}

void PaintBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void PaintBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
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
                       rect().contains(compat::EventPoint(*event));
    m_pressed = false;
    event->accept();
    if (click && isEnabled()) emit clicked();
}

}  // namespace pmkest
