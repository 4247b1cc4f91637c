// The note that Wine is making a new prefix; built where Wine support is.
#include <QCoreApplication>
#include <QLabel>
#include <QWidget>

#include "core/text/ui_texts.h"
#include "windows/launch/kest_launcher.h"

namespace pmkest {

void KestLauncher::preparingPrefix(const QString& prefix) {
    // A window of its own, so it is seen with the main window hidden too.
    auto* note = new QLabel(Tr(UiText::PreparingPrefix, m_state.language).arg(prefix));
    note->setObjectName(QStringLiteral("PrefixNote"));
    note->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setWordWrap(true);
    note->setMargin(12);
    note->setFixedWidth(360);
    note->setWindowTitle(Tr(UiText::WineNoteCaption, m_state.language));
    note->adjustSize();
    // Over the main window, where the user looks, not at the corner of the screen.
    if (m_view.window) note->move(m_view.window->frameGeometry().center() - note->rect().center());
    note->show();
    // Painted before the wait blocks the event loop.
    QCoreApplication::processEvents();
    m_prefixNote = note;
}

}  // namespace pmkest
