#include "widgets/buttons/clickable_image.h"

#include <QMouseEvent>

#include "platform/qt_compat.h"
#include "widgets/buttons/pressable.h"

namespace pmkest {

ClickableImage::ClickableImage(std::function<void()> onClick, QWidget* parent)
    : QLabel(parent), m_onClick(std::move(onClick)) {
    // A picture is not the window's background: moving over it resets no button.
    setAttribute(Qt::WA_NoMousePropagation);
    InstallPressableAccessibility();
}

void ClickableImage::press() {
    if (isEnabled()) m_onClick();
}

void ClickableImage::keyPressEvent(QKeyEvent* event) {
    if (!IsPressKey(event)) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    press();
}

void ClickableImage::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) DrawFocusMark(this);
}

void ClickableImage::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    update();
}

void ClickableImage::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    update();
}

void ClickableImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(compat::EventPoint(*event))) press();
}

}  // namespace pmkest
