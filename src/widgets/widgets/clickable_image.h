#pragma once

#include <QLabel>
#include <functional>

namespace pmkest {

// A picture that acts on a left click released over it, like the flags and shortcut pictures.
class ClickableImage : public QLabel {
public:
    ClickableImage(std::function<void()> onClick, QWidget* parent);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_onClick;
};

}  // namespace pmkest
