#include "widgets/window_look.h"

#include <QKeyEvent>
#include <QWidget>

namespace pmkest {

void SetWindowBackground(QWidget* window) {
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, kWindowBackground);
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

bool SwallowDialogKey(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return true;
        default:
            return false;
    }
}

}  // namespace pmkest
