#include "widgets/clickable_image.h"

#include <QMouseEvent>

namespace pmkest {

ClickableImage::ClickableImage(std::function<void()> onClick, QWidget* parent)
    : QLabel(parent), m_onClick(std::move(onClick)) {
    // A picture is not the window's background: moving over it resets no button.
    setAttribute(Qt::WA_NoMousePropagation);
}

void ClickableImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        isEnabled())
        m_onClick();
}

}  // namespace pmkest
