#pragma once
// The command-line window: the Turbo51 option string typed by hand as one line.

#include <QDialog>
#include <QString>
#include <string>

#include "widgets/ui_state.h"

class QLineEdit;
class QTimer;

namespace pmkest {

class PaintBox;

class Toptf : public QDialog {
    Q_OBJECT
public:
    explicit Toptf(UiState& state, QWidget* parent = nullptr);

    // The line as typed; it keeps its text between showings.
    QString lineText() const;
    // The captions the painted buttons are drawn with.
    QString cancelCaption() const { return m_cancelCaption; }
    QString okCaption() const { return m_okCaption; }

    void Timer1Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void PaintBox3Click();
    void PaintBox4Click();
    void FormMouseMove();

    UiState& m_state;
    QLineEdit* m_edit1 = nullptr;
    PaintBox* m_paintBox3 = nullptr;
    PaintBox* m_paintBox4 = nullptr;
    QTimer* m_timer1 = nullptr;
    QString m_cancelCaption = QStringLiteral("Cancel");
    QString m_okCaption = QStringLiteral("Ok");
};

}  // namespace pmkest
