#pragma once
// A plain drawing surface that the windows paint as a button. The box keeps its canvas (the
// last image presented); the owner redraws it from its Paint handler and on mouse events.

#include <QImage>
#include <QWidget>
#include <functional>

namespace pmkest {

class PaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PaintBox(QWidget* parent = nullptr);

    // Copies the image onto the canvas and shows it at once.
    void present(const QImage& image);
    const QImage& canvas() const { return m_canvas; }
    // What a click does, for Space, Enter and screen readers: the clicked signal if enabled.
    void press();

    // The box's Paint handler; it draws by calling present().
    std::function<void()> onPaint;

signals:
    void clicked();
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_canvas;
    bool m_painting = false;
    bool m_presenting = false;
    bool m_pressed = false;
};

}  // namespace pmkest
