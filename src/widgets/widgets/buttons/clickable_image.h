#pragma once
// Pictures that act as buttons: the language flags and the shortcut pictures.

#include <QLabel>
#include <functional>

namespace pmkest {

// A picture that acts on a left click released over it, like the flags and shortcut pictures.
class ClickableImage : public QLabel {
    Q_OBJECT
public:
    ClickableImage(std::function<void()> onClick, QWidget* parent);
    // What a click does, for Space, Enter and screen readers.
    void press();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    std::function<void()> m_onClick;
};

}  // namespace pmkest
