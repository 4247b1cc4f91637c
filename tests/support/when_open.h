#pragma once
// Answers a modal window from inside its own event loop.

#include <QTimer>
#include <QWidget>
#include <functional>

namespace pmkest::test {

// Runs `inside` once the next modal loop is running, then closes the window if still open.
inline void WhenOpen(QWidget* window, std::function<void()> inside) {
    QTimer::singleShot(0, window, [window, inside] {
        inside();
        if (window->isVisible()) window->close();  // never hang the test
    });
}

}  // namespace pmkest::test
