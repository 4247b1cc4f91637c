#include "widgets/window_look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QKeyEvent>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace pmkest {

void SetWindowBackground(QWidget* window) {
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(221, 215, 204));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

void PlaceOnScreen(QWidget* window, QSize size) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // The frame the window manager adds, as far as it is known yet.
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QSize outer(size.width() + frame.width() - inner.width(),
                      size.height() + frame.height() - inner.height());
    auto place = [](int start, int length, int wanted) {
        const int centred = start + (length - wanted) / 2;
        return std::max(start, std::min(centred, start + length - wanted));
    };
    window->move(place(area.x(), area.width(), outer.width()),
                 place(area.y(), area.height(), outer.height()));
}

bool HandleDialogKey(QKeyEvent* event, const std::function<void()>& cancel) {
    switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();
            if (!event->isAutoRepeat()) cancel();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            // A button that is not a default button leaves Enter to its window.
            if (auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
                button && button->isEnabled() && !event->isAutoRepeat())
                button->click();
            return true;
        default:
            return false;
    }
}

}  // namespace pmkest
