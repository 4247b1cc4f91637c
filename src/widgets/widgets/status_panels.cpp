#include "widgets/status_panels.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace pmkest {

StatusPanels::StatusPanels(int panelCount, QWidget* parent)
    : QWidget(parent), m_panels(static_cast<size_t>(panelCount)) {
    setAttribute(Qt::WA_NoMousePropagation);
}

void StatusPanels::setPanelWidth(int panel, int width) {
    m_panels.at(static_cast<size_t>(panel)).width = width;
    update();
}

int StatusPanels::panelWidth(int panel) const {
    const size_t index = static_cast<size_t>(panel);
    if (index + 1 < m_panels.size()) return m_panels.at(index).width;
    int used = 0;
    for (size_t i = 0; i + 1 < m_panels.size(); ++i) used += m_panels[i].width;
    return width() - used;
}

void StatusPanels::setPanelAlignment(int panel, Qt::Alignment alignment) {
    m_panels.at(static_cast<size_t>(panel)).alignment = alignment | Qt::AlignVCenter;
    update();
}

void StatusPanels::setPanelText(int panel, const QString& text) {
    m_panels.at(static_cast<size_t>(panel)).text = text;
    update();
}

QString StatusPanels::panelText(int panel) const {
    return m_panels.at(static_cast<size_t>(panel)).text;
}

void StatusPanels::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    int x = 0;
    for (int i = 0; i < panelCount(); ++i) {
        const int w = panelWidth(i);
        const QRect panelRect(x, 0, w - 2, height());
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = panelRect.adjusted(0, 2, 0, 0);
        frame.frameShape = QFrame::Panel;
        frame.state |= QStyle::State_Sunken;
        frame.lineWidth = 1;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        // Disabled during a run, but what it says then (Wine, the run waited for) must be read.
        painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        const auto& panel = m_panels[static_cast<size_t>(i)];
        painter.drawText(panelRect.adjusted(3, 2, -3, 0), static_cast<int>(panel.alignment),
                         panel.text);
        x += w;
    }
}

}  // namespace pmkest
