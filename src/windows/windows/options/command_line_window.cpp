#include "windows/options/command_line_window.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "core/text/ui_texts.h"
#include "widgets/buttons/paint_box.h"
#include "widgets/buttons/painted_button.h"
#include "widgets/cp1251_validator.h"
#include "widgets/window_look.h"

namespace pmkest {

namespace {
constexpr int kWidth = 480;
constexpr int kHeight = 90;
}  // namespace

Toptf::Toptf(UiState& state, QWidget* parent) : QDialog(parent), m_state(state) {
    setObjectName(QStringLiteral("optf"));
    setWindowTitle(Tr(UiText::CommandLineDesignCaption, m_state.language));
    // An ordinary sizable window.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setMouseTracking(true);
    SetWindowBackground(this);

    m_edit1 = new QLineEdit(QStringLiteral(" "), this);
    m_edit1->setObjectName(QStringLiteral("Edit1"));
    m_edit1->setValidator(new Cp1251Validator(m_edit1));
    m_edit1->setAttribute(Qt::WA_NoMousePropagation);

    auto makeBox = [this](const char* name) {
        auto* box = new PaintBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setFixedSize(100, 24);
        return box;
    };
    m_paintBox3 = makeBox("PaintBox3");
    m_paintBox4 = makeBox("PaintBox4");
    WireButtonLooks(m_state.buttonStyle, *m_paintBox3, [this] { return m_cancelCaption; });
    WireButtonLooks(m_state.buttonStyle, *m_paintBox4, [this] { return m_okCaption; });
    connect(m_paintBox3, &PaintBox::clicked, this, [this] { PaintBox3Click(); });
    connect(m_paintBox4, &PaintBox::clicked, this, [this] { PaintBox4Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_paintBox3);
    buttons->addSpacing(16);
    buttons->addWidget(m_paintBox4);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(14);
    layout->addWidget(m_edit1);
    layout->addLayout(buttons);
    layout->addStretch();
    // Without a mouse the window is left with Tab and Space, or with Escape.
    setTabOrder(m_edit1, m_paintBox3);
    setTabOrder(m_paintBox3, m_paintBox4);

    resize(kWidth, kHeight);
    PlaceOnScreen(this, QSize(kWidth, kHeight));

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &Toptf::Timer1Timer);
    // Runs while the window is shown: hidden, nobody sees its captions, and an idle program
    // should not wake up for them.
}

void Toptf::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Timer1Timer();  // the captions are right the moment the window appears
    m_timer1->start();
}

void Toptf::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    m_timer1->stop();
}

QString Toptf::lineText() const {
    return m_edit1->text();
}

void Toptf::Timer1Timer() {
    m_cancelCaption = Tr(UiText::Cancel, m_state.language);
    setWindowTitle(Tr(UiText::CommandLineCaption, m_state.language));
    m_okCaption = Tr(UiText::Ok, m_state.language);
}

void Toptf::FormMouseMove() {
    DrawButton(m_state.buttonStyle, *m_paintBox3, m_cancelCaption, false);
    DrawButton(m_state.buttonStyle, *m_paintBox4, m_okCaption, false);
}

void Toptf::PaintBox3Click() {
    DrawPressed(m_state.buttonStyle, *m_paintBox3, m_cancelCaption);
    done(Rejected);
}

void Toptf::PaintBox4Click() {
    DrawPressed(m_state.buttonStyle, *m_paintBox4, m_okCaption);
    done(Accepted);
}

void Toptf::mouseMoveEvent(QMouseEvent*) {
    FormMouseMove();
}

void Toptf::keyPressEvent(QKeyEvent* event) {
    if (!HandleDialogKey(event, [this] { PaintBox3Click(); })) QDialog::keyPressEvent(event);
}

}  // namespace pmkest
