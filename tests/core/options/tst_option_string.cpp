#include <QRandomGenerator>
#include <QTest>
#include <initializer_list>
#include <utility>

#include "core/options/option_string.h"
#include "core/text/cp1251.h"
#include "core/text/str_utils.h"
#include "support/option_round_trip.h"
#include "support/test_main.h"

using namespace pmkest;

Q_DECLARE_METATYPE(pmkest::OptionSet)

namespace {

OptionSet Set(std::initializer_list<OptionSwitch> switches,
              std::initializer_list<std::pair<OptionMemory, MemoryType>> memory = {},
              std::initializer_list<std::pair<OptionDirectory, std::string>> directories = {}) {
    OptionSet set;
    for (OptionSwitch s : switches) set.switches[static_cast<size_t>(s)] = true;
    for (const auto& [field, type] : memory) set.memory[static_cast<size_t>(field)] = type;
    for (const auto& [field, text] : directories)
        set.directories[static_cast<size_t>(field)] = text;
    return set;
}

OptionSet Dir(OptionDirectory field, const std::string& text) {
    return Set({}, {}, {{field, text}});
}

QString Describe(const OptionSet& set) {
    QStringList parts;
    for (size_t i = 0; i < set.switches.size(); ++i)
        if (set.switches[i])
            parts << QString::fromLatin1(kSwitchTexts[i].data(), qsizetype(kSwitchTexts[i].size()));
    for (size_t i = 0; i < set.memory.size(); ++i)
        if (set.memory[i] != MemoryType::Default)
            parts << QStringLiteral("mem%1=%2")
                         .arg(i)
                         .arg(QString::fromLatin1(MemoryTypeText(set.memory[i]).data(),
                                                  qsizetype(MemoryTypeText(set.memory[i]).size())));
    for (size_t i = 0; i < set.directories.size(); ++i)
        if (!set.directories[i].empty())
            parts << QStringLiteral("dir%1='%2'").arg(i).arg(cp1251::ToQString(set.directories[i]));
    return parts.join(QLatin1Char(' '));
}

void CompareSets(const OptionSet& actual, const OptionSet& expected) {
    if (!(actual == expected))
        QFAIL(qPrintable(
            QStringLiteral("got [%1], expected [%2]").arg(Describe(actual), Describe(expected))));
}

std::string Repeat(char c, size_t n) {
    return std::string(n, c);
}

std::string Words(const char* word, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += (i ? " " : "") + std::string(word);
    return text;
}

std::string RandomText(QRandomGenerator& rng, std::initializer_list<const char*> pieces,
                       int maxPieces) {
    const std::vector<const char*> pool(pieces);
    std::string text;
    const int count = static_cast<int>(rng.bounded(maxPieces + 1));
    for (int i = 0; i < count; ++i) text += pool[rng.bounded(static_cast<quint32>(pool.size()))];
    return text;
}

}  // namespace

class TestOptionString : public QObject {
    Q_OBJECT
private slots:
    void parseAndCompose_data();
    void parseAndCompose();
    void composeEditorTexts_data();
    void composeEditorTexts();
    void ignoredWords_data();
    void ignoredWords();
    void memoryTypeBoxes_data();
    void memoryTypeBoxes();
    void generatedSetsComeBack();
    void randomTextsSettleAfterOneRound();
    void directoriesKeepTheirCase_data();
    void directoriesKeepTheirCase();
};

void TestOptionString::parseAndCompose_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<OptionSet>("expected");
    QTest::addColumn<QByteArray>("composed");

    const std::string cyr = cp1251::FromUtf8("-Uпапка\\Ъ");
    const std::string longUnit = "-U" + Repeat('x', 200);
    const std::string thirtyThree = Words("-A", 31) + " -B -C";
    const std::string twelveUnits = "-U1;2;3;4;5;6;7;8;9;10;11;12";
    const std::string fuzzLeadingList = "-U;a -U";
    const std::string fuzzTabs = "\t-A -E\t -M\tG";

    auto row = [](const char* name, const std::string& text, const OptionSet& set,
                  const std::string& composed) {
        QTest::newRow(name) << QByteArray::fromStdString(text) << set
                            << QByteArray::fromStdString(composed);
    };
    row("empty", "", {}, "");
    row("blanks only", "    ", {}, "");
    row("lower case", "-a -mgx", Set({kSwitchA}, {{kMemGlobal, MemoryType::XData}}), "-A -MGX");
    row("no blank, one word", "-A-B", Set({kSwitchA}), "-A");
    row("OX alone", "-OX", Set({kSwitchOX}), "-OX");
    row("O and OX", "-O -OX", Set({kSwitchO, kSwitchOX}), "-O -OX");
    row("OX before O", "-OX -O", Set({kSwitchO, kSwitchOX}), "-O -OX");
    row("MGD is not M", "-MGD", Set({}, {{kMemGlobal, MemoryType::Data}}), "-MGD");
    row("M and MGD", "-M -MGD", Set({kSwitchM}, {{kMemGlobal, MemoryType::Data}}), "-M -MGD");
    row("later memory wins", "-MGD -MGX", Set({}, {{kMemGlobal, MemoryType::XData}}), "-MGX");
    row("MG without letter", "-MG", {}, "");
    row("MGZ unknown letter", "-MGZ", {}, "");
    row("unknown letter keeps earlier", "-MLI -MLQ", Set({}, {{kMemLocal, MemoryType::IData}}),
        "-MLI");
    row("memory order", "-MTI -MPX -MLD -MGI",
        Set({}, {{kMemGlobal, MemoryType::IData},
                 {kMemLocal, MemoryType::Data},
                 {kMemParameter, MemoryType::XData},
                 {kMemTemporary, MemoryType::IData}}),
        "-MGI -MLD -MPX -MTI");
    row("D with symbols", "-DDEBUG", Set({kSwitchD}), "-D");
    row("LA needs A", "-L -LAX", Set({kSwitchLA}), "-LA");
    row("all switches reversed", "-S -Q -OX -O -M -LA -H -G -D -C -B -A",
        Set({kSwitchA, kSwitchB, kSwitchC, kSwitchD, kSwitchG, kSwitchH, kSwitchLA, kSwitchM,
             kSwitchO, kSwitchOX, kSwitchQ, kSwitchS}),
        "-A -B -C -D -G -H -LA -M -O -OX -Q -S");
    row("repeated switch", "-Q -Q -Q", Set({kSwitchQ}), "-Q");
    row("output accumulates", "-Ec:\\out -Ed:\\bin", Dir(kDirOutput, "C:\\OUT;D:\\BIN"),
        "-EC:\\OUT;D:\\BIN");
    row("units accumulate", "-Uc:\\a -Uc:\\b", Dir(kDirUnits, "C:\\A;C:\\B"), "-UC:\\A -UC:\\B");
    row("list in one word", "-Ia;;b", Dir(kDirInclude, "A;;B"), "-IA -I -IB");
    row("trailing empty entry", "-Ja;", Dir(kDirObject, "A;"), "-JA -J");
    row("empty switch then value", "-U -Ua", Dir(kDirUnits, "A"), "-UA");
    row("value then empty switch", "-Ua -U -Ub", Dir(kDirUnits, "A;;B"), "-UA -U -UB");
    row("blank after switch", "-U c:\\folder", {}, "");
    row("empty L51 then value", "-Ta -T", Dir(kDirL51Cfg, "A;"), "-TA;");
    row("twelve units, ten composed", twelveUnits, Dir(kDirUnits, "1;2;3;4;5;6;7;8;9;10;11;12"),
        "-U1 -U2 -U3 -U4 -U5 -U6 -U7 -U8 -U9 -U10");
    row("ignored words", "/A -Z A -", {}, "");
    row("double blank", "-A  -B", Set({kSwitchA, kSwitchB}), "-A -B");
    row("tab is part of a word", "-A\t-B", Set({kSwitchA}), "-A");
    row("cyrillic stays", cyr, Dir(kDirUnits, cp1251::FromUtf8("папка\\Ъ")), cyr);
    row("word cut at 127", longUnit, Dir(kDirUnits, Repeat('X', 125)), "-U" + Repeat('X', 125));
    row("33rd word ignored", thirtyThree, Set({kSwitchA, kSwitchB}), "-A -B");
    row("worked example", "-A -LA -OX -MGD -EC:\\OUT -UC:\\U1 -UC:\\U2",
        Set({kSwitchA, kSwitchLA, kSwitchOX}, {{kMemGlobal, MemoryType::Data}},
            {{kDirOutput, "C:\\OUT"}, {kDirUnits, "C:\\U1;C:\\U2"}}),
        "-A -LA -OX -MGD -EC:\\OUT -UC:\\U1 -UC:\\U2");
    // Inputs kept from fuzzing.
    row("ten empty entries first", "-U;;;;;;;;;;h -U--M-", Dir(kDirUnits, ";;;;;;;;;;H;--M-"),
        Words("-U", 10));
    row("lists mixed", "-Ua;a;;b -J-a;;;;Cb -Ua;;X -O -X",
        Set({kSwitchO}, {}, {{kDirUnits, "A;A;;B;A;;X"}, {kDirObject, "-A;;;;CB"}}),
        "-O -UA -UA -U -UB -UA -U -UX -J-A -J -J -J -JCB");
    row("nul bytes, odd memory letters", std::string("\0\0 -MT- -MT-- -MT;;", 19), {}, "");
    row("directory swallows a switch", "-AAL - -OX :\\OUT -UC:\\U1-EaC2`U2",
        Set({kSwitchA, kSwitchOX}, {}, {{kDirUnits, "C:\\U1-EAC2`U2"}}), "-A -OX -UC:\\U1-EAC2`U2");
    row("leading empty entry kept", fuzzLeadingList, Dir(kDirUnits, ";A;"), "-U -UA -U");
    row("tabs inside words", fuzzTabs, Set({kSwitchM}, {}, {{kDirOutput, "\t"}}), "-M -E\t");
}

void TestOptionString::parseAndCompose() {
    QFETCH(QByteArray, text);
    QFETCH(OptionSet, expected);
    QFETCH(QByteArray, composed);
    const OptionSet parsed = ParseOptionString(text.toStdString());
    CompareSets(parsed, expected);
    QCOMPARE(QByteArray::fromStdString(ComposeOptionString(parsed)), composed);
}

// Sets as the editor's fields hold them, which no parse produces.
void TestOptionString::composeEditorTexts_data() {
    QTest::addColumn<OptionSet>("set");
    QTest::addColumn<QByteArray>("composed");
    QTest::newRow("empty set") << OptionSet{} << QByteArray();
    QTest::newRow("blank inside output")
        << Dir(kDirOutput, "C:\\My Out") << QByteArray("-EC:\\MyOut");
    QTest::newRow("lower case kept") << Dir(kDirL51Cfg, "c:\\cfg") << QByteArray("-Tc:\\cfg");
    QTest::newRow("blanks only list") << Dir(kDirUnits, "   ") << QByteArray("-U");
    QTest::newRow("blanks only output") << Dir(kDirOutput, "  ") << QByteArray("-E");
    QTest::newRow("list with blanks")
        << Dir(kDirInclude, " a ; b c ;") << QByteArray("-Ia -Ibc -I");
    QTest::newRow("long output uncut")
        << Dir(kDirOutput, Repeat('o', 200)) << QByteArray::fromStdString("-E" + Repeat('o', 200));
    QTest::newRow("long list entry cut")
        << Dir(kDirObject, Repeat('j', 200) + ";k")
        << QByteArray::fromStdString("-J" + Repeat('j', 127) + " -Jk");
    std::string forty = "u";
    for (int i = 1; i < 40; ++i) forty += ";u";
    QTest::newRow("forty entries, ten composed")
        << Dir(kDirUnits, forty) << QByteArray::fromStdString(Words("-Uu", 10));
    QTest::newRow("order of groups")
        << Set({kSwitchS, kSwitchA}, {{kMemTemporary, MemoryType::XData}},
               {{kDirObject, "j"},
                {kDirInclude, "i"},
                {kDirUnits, "u"},
                {kDirL51Cfg, "t"},
                {kDirOutput, "e"}})
        << QByteArray("-A -S -MTX -Ee -Tt -Uu -Ii -Jj");
}

void TestOptionString::composeEditorTexts() {
    QFETCH(OptionSet, set);
    QFETCH(QByteArray, composed);
    QCOMPARE(QByteArray::fromStdString(ComposeOptionString(set)), composed);
}

void TestOptionString::ignoredWords_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("ignored");
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("32 words") << QByteArray::fromStdString(Words("-A", 32)) << 0;
    QTest::newRow("33 words") << QByteArray::fromStdString(Words("-A", 33)) << 1;
    QTest::newRow("outer blanks not counted")
        << QByteArray::fromStdString("   " + Words("-A", 32) + "   ") << 0;
    QTest::newRow("empty words count")
        << QByteArray::fromStdString(Words("-A", 30) + "    -B") << 2;
}

void TestOptionString::ignoredWords() {
    QFETCH(QByteArray, text);
    QFETCH(int, ignored);
    QCOMPARE(IgnoredOptionWords(text.toStdString()), ignored);
}

void TestOptionString::memoryTypeBoxes_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("type");
    QTest::newRow("Data") << QByteArray("Data") << int(MemoryType::Data);
    QTest::newRow("IData") << QByteArray("IData") << int(MemoryType::IData);
    QTest::newRow("XData") << QByteArray("XData") << int(MemoryType::XData);
    QTest::newRow("Default") << QByteArray("Default") << int(MemoryType::Default);
    QTest::newRow("lower case") << QByteArray("data") << int(MemoryType::Default);
    QTest::newRow("blank after") << QByteArray("Data ") << int(MemoryType::Default);
    QTest::newRow("empty") << QByteArray() << int(MemoryType::Default);
}

void TestOptionString::memoryTypeBoxes() {
    QFETCH(QByteArray, text);
    QFETCH(int, type);
    const MemoryType memory = MemoryTypeFromText(text.toStdString());
    QCOMPARE(int(memory), type);
    // The box shows what the set holds and reads it back unchanged.
    QCOMPARE(MemoryTypeFromText(MemoryTypeText(memory)), memory);
    OptionSet set;
    set.memory[kMemParameter] = memory;
    CompareSets(ParseOptionString(ComposeOptionString(set)), set);
}

// parse(compose(S)) gives S back with directories upper-cased and without blanks, lists cut
// to ten entries, and leading empty entries gone.
void TestOptionString::generatedSetsComeBack() {
    QRandomGenerator rng(4711);
    const std::initializer_list<const char*> pieces = {"a", "Z",  "\\", ":",    ".",   " ", ";",
                                                       "-", "\t", "q1", "\xFF", "\xFC"};  // я ь
    int checked = 0;
    for (int round = 0; round < 3000; ++round) {
        OptionSet set;
        for (bool& s : set.switches) s = rng.bounded(2) == 1;
        for (MemoryType& m : set.memory) m = static_cast<MemoryType>(rng.bounded(4));
        for (std::string& d : set.directories)
            d = rng.bounded(3) == 0 ? std::string() : RandomText(rng, pieces, 12);
        // Now and then a long list.
        if (rng.bounded(5) == 0) set.directories[kDirUnits] = Words("x;", 13);

        const std::string composed = ComposeOptionString(set);
        if (test::CountWords(composed) > 32) continue;
        ++checked;

        OptionSet expected = set;
        for (int i : {kDirOutput, kDirL51Cfg}) {
            std::string& d = expected.directories[static_cast<size_t>(i)];
            d = UpperLatin(RemoveBlanks(d));
        }
        for (int i : {kDirUnits, kDirInclude, kDirObject}) {
            std::string& d = expected.directories[static_cast<size_t>(i)];
            std::string list = UpperLatin(RemoveBlanks(d));
            std::vector<std::string> entries;
            size_t start = 0;
            for (;;) {
                const size_t p = list.find(';', start);
                entries.push_back(list.substr(start, p - start));
                if (p == std::string::npos) break;
                start = p + 1;
            }
            if (d.empty()) entries.clear();
            if (entries.size() > kMaxListEntries) entries.resize(kMaxListEntries);
            while (!entries.empty() && entries.front().empty()) entries.erase(entries.begin());
            d.clear();
            for (size_t k = 0; k < entries.size(); ++k) d += (k ? ";" : "") + entries[k];
        }
        const OptionSet back = ParseOptionString(composed);
        if (!(back == expected))
            QFAIL(qPrintable(
                QStringLiteral("'%1': got [%2], expected [%3]")
                    .arg(cp1251::ToQString(composed), Describe(back), Describe(expected))));
        QCOMPARE(ComposeOptionString(ParseOptionString(ComposeOptionString(back))),
                 ComposeOptionString(back));
    }
    QVERIFY2(checked > 1000, qPrintable(QString::number(checked)));
}

void TestOptionString::randomTextsSettleAfterOneRound() {
    QRandomGenerator rng(2612);
    const std::initializer_list<const char*> pieces = {
        "-", "A", "B", "O", "X",  "M", "G", "L", "P",  "T", "D",  "I",  "E", "U",    "J",
        "s", "q", "h", "c", "la", " ", " ", " ", "  ", ";", "\t", "\\", "z", "\xFF", "\xE0"};
    int unchanged = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(rng, pieces, 120);
        const OptionSet first = ParseOptionString(text);
        const std::string once = ComposeOptionString(first);
        const OptionSet second = ParseOptionString(once);
        const std::string twice = ComposeOptionString(second);
        const OptionSet third = ParseOptionString(twice);
        if (!(third == second) || ComposeOptionString(third) != twice)
            QFAIL(qPrintable(QStringLiteral("not settled for '%1'").arg(cp1251::ToQString(text))));
        if (test::SurvivesRoundTrip(first)) {
            if (!(second == first))
                QFAIL(qPrintable(
                    QStringLiteral("changed by a round: '%1'").arg(cp1251::ToQString(text))));
            ++unchanged;
        }
    }
    QVERIFY2(unchanged > 5000, qPrintable(QString::number(unchanged)));
}

// On a file system that tells case apart the program keeps folders as written; switches
// still match in any case, and everything else is parsed as before.
void TestOptionString::directoriesKeepTheirCase_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("composedKept");
    QTest::addColumn<QByteArray>("composedUpper");
    QTest::newRow("output") << QByteArray("-e/home/Ivan/out -a")
                            << QByteArray("-A -E/home/Ivan/out")
                            << QByteArray("-A -E/HOME/IVAN/OUT");
    QTest::newRow("joined output")
        << QByteArray("-Ec:\\out -Ed:\\Bin") << QByteArray("-Ec:\\out;d:\\Bin")
        << QByteArray("-EC:\\OUT;D:\\BIN");
    QTest::newRow("lists") << QByteArray("-u/a/Lib -U/b -i/Inc -j/o")
                           << QByteArray("-U/a/Lib -U/b -I/Inc -J/o")
                           << QByteArray("-U/A/LIB -U/B -I/INC -J/O");
    QTest::newRow("memory and switches unaffected")
        << QByteArray("-mgx -ox -t/Cfg") << QByteArray("-OX -MGX -T/Cfg")
        << QByteArray("-OX -MGX -T/CFG");
}

void TestOptionString::directoriesKeepTheirCase() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, composedKept);
    QFETCH(QByteArray, composedUpper);
    const std::string input = text.toStdString();
    QCOMPARE(QByteArray::fromStdString(
                 ComposeOptionString(ParseOptionString(input, DirectoryCase::Keep))),
             composedKept);
    QCOMPARE(QByteArray::fromStdString(
                 ComposeOptionString(ParseOptionString(input, DirectoryCase::Upper))),
             composedUpper);
    QCOMPARE(QByteArray::fromStdString(ComposeOptionString(ParseOptionString(input))),
             composedUpper);
}

PMKEST_TEST_APPLESS_MAIN(TestOptionString)

#include "tst_option_string.moc"
