#pragma once
// SIGTERM and SIGHUP (the session ends, the terminal closes), and on Windows the end of the
// user's session (log off, shut down), reach the program as a Qt signal on the GUI thread, so
// that it can end the way closing its window does, KEST's result saved.

#include <QObject>

class QSocketNotifier;

namespace pmkest {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Catches the signals for as long as it lives; one per process.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    // True from a signal's arrival until requested() has been emitted for it; for waits that
    // handle no events otherwise.
    static bool pending();
    // True once a signal has come: a question it dismissed was not answered by the user.
    static bool received();

signals:
    void requested();

private:
    friend class SessionEndWatcher;
    void drain();
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace pmkest
