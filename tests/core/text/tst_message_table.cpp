#include <QTest>

#include "core/text/cp1251.h"
#include "core/text/message_table.h"
#include "support/scripted_dialogs.h"
#include "support/test_main.h"

using namespace pmkest;

class TestMessageTable : public QObject {
    Q_OBJECT
private slots:
    void fillAndLanguages();
    void showPending_data();
    void showPending();
    void showTwiceShowsOnce();
};

void TestMessageTable::fillAndLanguages() {
    MessageTable table;
    FillMessageTable(table);
    QVERIFY(table.entry(0).empty());
    QCOMPARE(cp1251::ToQString(table.entry(4)), QStringLiteral("Файл проекта не найден"));
    PutMainMessages(table, Language::English);
    QCOMPARE(table.entry(2), std::string("Do not put the path program initialization KEST"));
    QCOMPARE(table.entry(5), std::string("Alternate initialization file not found"));
    PutMainMessages(table, Language::Russian);
    QCOMPARE(cp1251::ToQString(table.entry(2)),
             QStringLiteral("Не введен путь к файлу инициализации программы KEST"));
    table.setEntry(7, std::string(200, 'x'));
    QCOMPARE(table.entry(7).size(), size_t(80));
    table.setEntry(0, "never");
    QVERIFY(table.entry(0).empty());
    QVERIFY(table.entry(-1).empty());
    QVERIFY(table.entry(400).empty());
}

void TestMessageTable::showPending_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("shownKind");
    QTest::addColumn<QString>("text");
    const QString first = QStringLiteral("Do not put the path to the KEST");
    QTest::newRow("error") << 4 << 0 << int(MessageKind::Error)
                           << QStringLiteral("The project file not found");
    QTest::newRow("information") << 1 << 1 << int(MessageKind::Information) << first;
    QTest::newRow("question") << 1 << 2 << int(MessageKind::Question) << first;
    QTest::newRow("warning") << 1 << 3 << int(MessageKind::Warning) << first;
    QTest::newRow("plain") << 1 << 4 << int(MessageKind::Plain) << first;
    QTest::newRow("above 4 is plain") << 1 << 200 << int(MessageKind::Plain) << first;
    QTest::newRow("400 shows entry 1") << 400 << 0 << int(MessageKind::Error) << first;
    QTest::newRow("negative shows entry 1") << -5 << 0 << int(MessageKind::Error) << first;
}

void TestMessageTable::showPending() {
    QFETCH(int, code);
    QFETCH(int, kind);
    QFETCH(int, shownKind);
    QFETCH(QString, text);
    MessageState state;
    FillMessageTable(state.table);
    PutMainMessages(state.table, Language::English);
    test::ScriptedDialogs dialogs;
    state.MessageCode = code;
    ShowPendingMessage(state, static_cast<uint8_t>(kind), dialogs);
    QCOMPARE(dialogs.messages.size(), size_t(1));
    QCOMPARE(int(dialogs.messages[0].kind), shownKind);
    QCOMPARE(dialogs.messages[0].text, text);
    QCOMPARE(state.MessageCode, 0);
}

void TestMessageTable::showTwiceShowsOnce() {
    MessageState state;
    FillMessageTable(state.table);
    test::ScriptedDialogs dialogs;
    RaiseMessage(state, Message::NoKestIniPath, dialogs);
    ShowPendingMessage(state, 0, dialogs);
    QCOMPARE(dialogs.messages.size(), size_t(1));
    ResetMessageState(state);
    ShowPendingMessage(state, 0, dialogs);
    QCOMPARE(dialogs.messages.size(), size_t(1));
}

PMKEST_TEST_APPLESS_MAIN(TestMessageTable)
#include "tst_message_table.moc"
