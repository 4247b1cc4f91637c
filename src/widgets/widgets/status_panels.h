#pragma once
// The status bars of the windows.

#include <QString>
#include <QWidget>
#include <vector>

namespace pmkest {

// A status bar of plain text panels with fixed widths; the last panel takes what is left.
class StatusPanels : public QWidget {
    Q_OBJECT
public:
    explicit StatusPanels(int panelCount, QWidget* parent = nullptr);

    void setPanelWidth(int panel, int width);
    int panelWidth(int panel) const;
    void setPanelAlignment(int panel, Qt::Alignment alignment);
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    int panelCount() const { return static_cast<int>(m_panels.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Panel {
        int width = 0;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        QString text;
    };
    std::vector<Panel> m_panels;
};

}  // namespace pmkest
