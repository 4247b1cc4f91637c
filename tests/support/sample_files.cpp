#include "support/sample_files.h"

#include <QFile>
#include <QTest>

namespace pmkest::test {

QByteArray SampleFile(const QString& name, const Fill& fill) {
    QFile file(QStringLiteral(PMKEST_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        QTest::qFail(qPrintable(QStringLiteral("cannot read the sample ") + file.fileName()),
                     __FILE__, __LINE__);
        return {};
    }
    QByteArray data = file.readAll();
    for (const auto& [mark, value] : fill) data.replace(mark, value);
    return data;
}

QByteArray SampleKestIni(const QByteArray& folder, const QByteArray& main) {
    return SampleFile(QStringLiteral("kest.ini"), {{"@FOLDER@", folder}, {"@MAIN@", main}});
}

QByteArray SampleManagerSettingsFile(const SampleManagerSettings& values) {
    const auto flag = [](bool on) { return QByteArray(on ? "TRUE" : "FALSE"); };
    return SampleFile(QStringLiteral("PMKEST_121226.ini"),
                      {{"@COUNTER@", QByteArray::number(values.counter)},
                       {"@KEST@", values.kest},
                       {"@KESTINI@", values.kestIni},
                       {"@PROJECT@", values.project},
                       {"@HIDE@", flag(values.hide)},
                       {"@RUSSIAN@", flag(values.russian)}});
}

}  // namespace pmkest::test
