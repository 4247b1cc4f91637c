#include <QTest>

#include "core/text/cp1251.h"
#include "core/text/str_utils.h"
#include "support/test_main.h"

using namespace pmkest;

namespace {
std::string S(const QByteArray& b) {
    return b.toStdString();
}
QByteArray B(const std::string& s) {
    return QByteArray::fromStdString(s);
}
std::string Win(const char* utf8) {
    return cp1251::FromUtf8(utf8);
}
}  // namespace

class TestStrUtils : public QObject {
    Q_OBJECT
private slots:
    void trimming_data();
    void trimming();
    void parts();
    void upperCase();
    void isTrueText_data();
    void isTrueText();
    void readKeyText_data();
    void readKeyText();
    void readKeyInt_data();
    void readKeyInt();
    void readKeyBool();
    void splitWords_data();
    void splitWords();
    void splitWordsLimits();
    void cp1251RoundTrip();
};

void TestStrUtils::trimming_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("trimmed");
    QTest::addColumn<QByteArray>("right");
    QTest::addColumn<QByteArray>("left");
    QTest::addColumn<QByteArray>("removed");
    QTest::newRow("inner kept") << QByteArray("  a b  ") << QByteArray("a b") << QByteArray("  a b")
                                << QByteArray("a b  ") << QByteArray("ab");
    QTest::newRow("blanks only") << QByteArray("   ") << QByteArray() << QByteArray()
                                 << QByteArray() << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray() << QByteArray()
                           << QByteArray();
    QTest::newRow("tabs are not blanks")
        << QByteArray("\t a \t") << QByteArray("\t a \t") << QByteArray("\t a \t")
        << QByteArray("\t a \t") << QByteArray("\ta\t");
    QTest::newRow("cr lf stay") << QByteArray(" x\r\n") << QByteArray("x\r\n")
                                << QByteArray(" x\r\n") << QByteArray("x\r\n")
                                << QByteArray("x\r\n");
}

void TestStrUtils::trimming() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, trimmed);
    QFETCH(QByteArray, right);
    QFETCH(QByteArray, left);
    QFETCH(QByteArray, removed);
    QCOMPARE(B(TrimBlanks(S(text))), trimmed);
    QCOMPARE(B(TrimRightBlanks(S(text))), right);
    QCOMPARE(B(TrimLeftBlanks(S(text))), left);
    QCOMPARE(B(RemoveBlanks(S(text))), removed);
}

void TestStrUtils::parts() {
    QCOMPARE(LeftPart("abc", 5), std::string("abc"));
    QCOMPARE(LeftPart("abc", 0), std::string());
    QCOMPARE(LeftPart("abc", 2), std::string("ab"));
    QCOMPARE(RightPart("abc", 5), std::string("abc"));
    QCOMPARE(RightPart("abc", 1), std::string("c"));
    QCOMPARE(RightPart("abc", 0), std::string());
    QCOMPARE(MidPart("abc", 2, 3), std::string("bc"));
    QCOMPARE(MidPart("abc", 3, 2), std::string());
    QCOMPARE(MidPart("abc", 2, 2), std::string("b"));
    QCOMPARE(MidPart("abc", 4, 9), std::string());
    QCOMPARE(MidPart("abc", 2, 99), std::string("bc"));
    QCOMPARE(MidPart("", 1, 0), std::string());
}

void TestStrUtils::upperCase() {
    QCOMPARE(UpperText(Win("проект")), Win("ПРОЕКТ"));
    QCOMPARE(UpperText(Win("ёж")), Win("ёЖ"));
    QCOMPARE(UpperText("abc-xyz 09"), std::string("ABC-XYZ 09"));
    QCOMPARE(UpperLatin(Win("проект")), Win("проект"));
    QCOMPARE(UpperLatin(Win("aя")), Win("Aя"));
    QCOMPARE(UpperLatin(""), std::string());
}

void TestStrUtils::isTrueText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("TRUE") << QByteArray("TRUE") << true;
    QTest::newRow("true") << QByteArray("true") << true;
    QTest::newRow("True") << QByteArray("True") << true;
    QTest::newRow("leading blank") << QByteArray(" TRUE") << false;
    QTest::newRow("trailing blank") << QByteArray("TRUE ") << false;
    QTest::newRow("one") << QByteArray("1") << false;
    QTest::newRow("yes") << QByteArray("yes") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestStrUtils::isTrueText() {
    QFETCH(QByteArray, text);
    QFETCH(bool, expected);
    QCOMPARE(IsTrueText(S(text)), expected);
}

void TestStrUtils::readKeyText_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("matched");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("key inside longer key") << QByteArray("Path=") << QByteArray("OutPath=C:\\OUT ")
                                           << QByteArray("old") << true << QByteArray("C:\\OUT");
    QTest::newRow("absent key leaves value") << QByteArray("A=") << QByteArray("B=1")
                                             << QByteArray("keep") << false << QByteArray("keep");
    QTest::newRow("absent key leaves empty")
        << QByteArray("A=") << QByteArray("B=1") << QByteArray() << false << QByteArray();
    QTest::newRow("first equals separates")
        << QByteArray("K=") << QByteArray("K=a=b") << QByteArray() << true << QByteArray("a=b");
    QTest::newRow("value after the line's first equals")
        << QByteArray("K=") << QByteArray("X=1 K=2") << QByteArray() << true << QByteArray("1 K=2");
    QTest::newRow("case-sensitive")
        << QByteArray("K=") << QByteArray("k=1") << QByteArray("v") << false << QByteArray("v");
    QTest::newRow("empty key never matches")
        << QByteArray() << QByteArray("K=1") << QByteArray("v") << false << QByteArray("v");
    QTest::newRow("key without equals, line without equals")
        << QByteArray("NAME") << QByteArray("  NAME value ") << QByteArray() << true
        << QByteArray("NAME value");
    QTest::newRow("empty value") << QByteArray("K=") << QByteArray("K=") << QByteArray("v") << true
                                 << QByteArray();
}

void TestStrUtils::readKeyText() {
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, before);
    QFETCH(bool, matched);
    QFETCH(QByteArray, after);
    std::string variable = S(before);
    QCOMPARE(ReadKeyText(S(key), S(line), variable), matched);
    QCOMPARE(B(variable), after);
}

void TestStrUtils::readKeyInt_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<int>("expected");
    QTest::newRow("leading blank") << QByteArray("N= 12") << false << 12;
    QTest::newRow("negative") << QByteArray("N=-7") << false << -7;
    QTest::newRow("plus") << QByteArray("N=+7") << false << 7;
    QTest::newRow("dollar hex") << QByteArray("N=$1F") << false << 31;
    QTest::newRow("0x hex") << QByteArray("N=0x10") << false << 16;
    QTest::newRow("max") << QByteArray("N=2147483647") << false << 2147483647;
    QTest::newRow("min") << QByteArray("N=-2147483648") << false << int(-2147483647 - 1);
    QTest::newRow("absent") << QByteArray("M=3") << false << 99;
    QTest::newRow("trailing blank") << QByteArray("N=12 ") << true << 99;
    QTest::newRow("empty") << QByteArray("N=") << true << 99;
    QTest::newRow("letters") << QByteArray("N=12a") << true << 99;
    QTest::newRow("overflow") << QByteArray("N=2147483648") << true << 99;
    QTest::newRow("sign only") << QByteArray("N=-") << true << 99;
}

void TestStrUtils::readKeyInt() {
    QFETCH(QByteArray, line);
    QFETCH(bool, fails);
    QFETCH(int, expected);
    int32_t variable = 99;
    if (fails) {
        try {
            ReadKeyInt("N=", S(line), variable);
            QFAIL("no conversion error");
        } catch (const ConversionError& e) {
            const std::string value = KeyValue(S(line));
            QCOMPARE(std::string(e.what()), "'" + value + "' is not a valid integer value");
        }
        QCOMPARE(variable, 99);
    } else {
        ReadKeyInt("N=", S(line), variable);
        QCOMPARE(variable, expected);
    }
}

void TestStrUtils::readKeyBool() {
    bool value = false;
    QVERIFY(ReadKeyBool("F=", "F=true", value));
    QVERIFY(value);
    QVERIFY(ReadKeyBool("F=", "F=TRUE ", value));
    QVERIFY(!value);
    value = true;
    QVERIFY(!ReadKeyBool("F=", "G=FALSE", value));
    QVERIFY(value);
    QVERIFY(ReadKeyBool("F=", "F= TRUE", value));
    QVERIFY(!value);
}

void TestStrUtils::splitWords_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("words");
    QTest::newRow("double blank") << QByteArray("-A  -B") << QList<QByteArray>{"-A", "", "-B"};
    QTest::newRow("empty text") << QByteArray() << QList<QByteArray>{""};
    QTest::newRow("trailing blank") << QByteArray("-A ") << QList<QByteArray>{"-A", ""};
    QTest::newRow("tab stays inside")
        << QByteArray("-A\t-B -C") << QList<QByteArray>{"-A\t-B", "-C"};
}

void TestStrUtils::splitWords() {
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, words);
    const WordTable table = SplitWords(' ', S(text));
    QCOMPARE(table.presentCount(), words.size());
    for (int i = 0; i < words.size(); ++i)
        QCOMPARE(B(table.entries[static_cast<size_t>(i)].WordText), words[i]);
}

void TestStrUtils::splitWordsLimits() {
    // 40 words: the first 32 are kept, the rest dropped.
    std::string text;
    for (int i = 1; i <= 40; ++i) text += (i > 1 ? " w" : "w") + std::to_string(i);
    WordTable table = SplitWords(' ', text);
    QCOMPARE(table.presentCount(), 32);
    QCOMPARE(table.entries[31].WordText, std::string("w32"));
    // A long word is cut to 127 characters.
    table = SplitWords(' ', std::string(300, 'x') + " y");
    QCOMPARE(table.entries[0].WordText.size(), size_t(127));
    QCOMPARE(table.entries[1].WordText, std::string("y"));
    // Another separator keeps itself at the end of each piece.
    table = SplitWords(';', "a; b;c");
    QCOMPARE(table.presentCount(), 3);
    QCOMPARE(table.entries[0].WordText, std::string("a;"));
    QCOMPARE(table.entries[1].WordText, std::string("b;"));
    QCOMPARE(table.entries[2].WordText, std::string("c"));
}

void TestStrUtils::cp1251RoundTrip() {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const QString shown = cp1251::ToQString(all);
    QCOMPARE(shown.size(), qsizetype(all.size()));
    QCOMPARE(cp1251::FromQString(shown), std::optional<std::string>(all));
    QCOMPARE(cp1251::ToQString(Win("Иван")), QStringLiteral("Иван"));
    QVERIFY(!cp1251::FromQString(QStringLiteral("日本")).has_value());
}

PMKEST_TEST_APPLESS_MAIN(TestStrUtils)
#include "tst_str_utils.moc"
