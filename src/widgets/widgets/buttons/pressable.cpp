#include "widgets/buttons/pressable.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include "widgets/buttons/clickable_image.h"
#include "widgets/buttons/paint_box.h"

namespace pmkest {

namespace {

class PressableAccessible final : public QAccessibleWidget {
public:
    explicit PressableAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& name) override {
        if (name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        if (auto* box = qobject_cast<PaintBox*>(widget()))
            box->press();
        else if (auto* image = qobject_cast<ClickableImage*>(widget()))
            image->press();
    }
};

QAccessibleInterface* PressableFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("pmkest::PaintBox") ||
        className == QLatin1String("pmkest::ClickableImage"))
        return new PressableAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

bool IsPressKey(const QKeyEvent* event) {
    if (event->isAutoRepeat() || event->modifiers() & ~Qt::KeypadModifier) return false;
    const int key = event->key();
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

void DrawFocusMark(QWidget* widget) {
    QPainter painter(widget);
    const QRectF mark = QRectF(widget->rect()).adjusted(4.5, 4.5, -4.5, -4.5);
    QPen pen(Qt::black);
    pen.setDashPattern({1.0, 1.0});
    painter.setPen(pen);
    painter.drawRect(mark);
    pen.setColor(Qt::white);
    pen.setDashOffset(1.0);
    painter.setPen(pen);
    painter.drawRect(mark);
}

void InstallPressableAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(PressableFactory);
}

}  // namespace pmkest
