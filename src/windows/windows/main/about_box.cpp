#include "windows/main/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "core/text/ui_texts.h"
#include "core/version.h"
#include "widgets/pictures.h"
#include "widgets/window_look.h"

namespace pmkest {

namespace {

QString Text(UiText id) {
    return Tr(id, Language::English);
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    // Not affected by the language switch.
    setWindowTitle(Text(UiText::AboutCaption));
    setFixedSize(298, 213);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    SetWindowBackground(this);

    // Lowered outside, raised inside.
    auto* outer = new QFrame(this);
    outer->setObjectName(QStringLiteral("Panel1"));
    outer->setGeometry(8, 8, 281, 161);
    outer->setFrameShape(QFrame::Panel);
    outer->setFrameShadow(QFrame::Sunken);
    auto* inner = new QFrame(outer);
    inner->setGeometry(2, 2, 277, 157);
    inner->setFrameShape(QFrame::Panel);
    inner->setFrameShadow(QFrame::Raised);

    auto* icon = new QLabel(outer);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(8, 8, 65, 57);
    icon->setPixmap(Picture(QStringLiteral("pmkest.png")));
    icon->setScaledContents(true);

    auto addLine = [outer](const char* name, const QString& text, QRect place, bool wrap) {
        auto* label = new QLabel(text, outer);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(place);
        label->setWordWrap(wrap);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };
    addLine("ProductName", Text(UiText::AboutProduct), {88, 16, 185, 16}, false);
    addLine("Version", Text(UiText::AboutVersion).arg(QString::fromLatin1(kVersion)),
            {88, 40, 185, 16}, false);
    addLine("Copyright", Text(UiText::AboutCopyright), {8, 80, 265, 16}, false);
    addLine("Comments", Text(UiText::AboutComments), {8, 104, 265, 48}, true);

    auto* ok = new QPushButton(Text(UiText::AboutOk), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(111, 178, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    PlaceOnScreen(this, size());
}

}  // namespace pmkest
