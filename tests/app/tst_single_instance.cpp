#include <QTemporaryDir>
#include <QTest>

#include "app/entry.h"
#include "platform/process/single_instance.h"
#include "support/scripted_dialogs.h"
#include "support/test_main.h"

using namespace Qt::StringLiterals;

using namespace pmkest;

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondCopyIsRefused();
};

void TestSingleInstance::secondCopyIsRefused() {
    QTemporaryDir dir;
    SingleInstanceGuard first(dir.path());
    QVERIFY(first.acquire());
    SingleInstanceGuard second(dir.path());
    QVERIFY(!second.acquire());

    // The program refuses to start: one information box, no window, exit code 0.
    test::ScriptedDialogs dialogs;
    int argc = 1;
    char name[] = "pmkest";
    char* argv[] = {name, nullptr};
    QCOMPARE(RunProgram(argc, argv, &dialogs, dir.path()), 0);
    QCOMPARE(dialogs.messageTexts(), QStringList{u"Program Is Already Running!"_s});
    QCOMPARE(dialogs.messages[0].kind, MessageKind::Information);

    // The first copy still holds its lock; once it lets go, a new start may take it.
    QVERIFY(!second.acquire());
}

PMKEST_TEST_APPLESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
