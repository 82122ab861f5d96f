#include <QtTest>

#include "about/dialog.h"
#include "about/launcher.h"
#include "view/resourcereader.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QVersionNumber>
#include <QtEndian>

#include <memory>

// One version number is written in several places: the build's project version, the version
// block packed into the executable, the Debian package's version and the two About box labels.
// These tests hold them together, so that a new version cannot ship half-changed.

namespace {

class RefusingLauncher : public Launcher
{
public:
    bool launch(const QString &) override { return false; }
};

QVersionNumber projectVersion()
{
    return QVersionNumber::fromString(QStringLiteral(AMBERVALE_VERSION));
}

// The value of one set(NAME "value") line in the generated CPack configuration.
QString cpackValue(const QByteArray &config, const QString &name, bool *found)
{
    const QRegularExpression line(QStringLiteral("^set\\(%1 \"([^\"]*)\"\\)$")
                                      .arg(QRegularExpression::escape(name)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromUtf8(config));
    *found = match.hasMatch();
    return match.captured(1);
}

} // namespace

class TestVersion : public QObject
{
    Q_OBJECT

private slots:
    void projectVersionHasFourParts();
    void aboutLabels_data();
    void aboutLabels();
    void executableVersionBlock_data();
    void executableVersionBlock();
    void packageVersion();
};

void TestVersion::projectVersionHasFourParts()
{
    const QVersionNumber version = projectVersion();
    QCOMPARE(version.segmentCount(), 4);
    QCOMPARE(version.toString(), QStringLiteral(AMBERVALE_VERSION));
}

void TestVersion::aboutLabels_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("parts");

    QTest::newRow("Label4 beside the notice: major") << "Label4" << 1;
    QTest::newRow("Label1 under the frames: major.minor.patch") << "Label1" << 3;
}

void TestVersion::aboutLabels()
{
    QFETCH(QString, label);
    QFETCH(int, parts);

    RefusingLauncher launcher;
    QStringList runtimeErrors;
    const auto dialog = std::make_unique<Dialog>(
        launcher, [&runtimeErrors](const QString &message) { runtimeErrors.append(message); });
    const auto *shown = dialog->findChild<QLabel *>(label);
    QVERIFY(shown);

    const QString expected = QStringLiteral("Version ")
        + QVersionNumber(projectVersion().segments().mid(0, parts)).toString();
    QCOMPARE(shown->text(), expected);
    QVERIFY(runtimeErrors.isEmpty());
}

void TestVersion::executableVersionBlock_data()
{
    QTest::addColumn<int>("offset");

    // "AVVB", then four 16-bit parts for the file version and four for the product version.
    QTest::newRow("file version") << 4;
    QTest::newRow("product version") << 12;
}

void TestVersion::executableVersionBlock()
{
    QFETCH(int, offset);

    const ResourceReader::Resource block =
        ResourceReader::read(QStringLiteral(AMBERVALE_BINARY), ResourceReader::Version, QStringLiteral("1"));
    QVERIFY2(block.found, qPrintable(block.reason));
    QCOMPARE(block.data.size(), 20);
    QCOMPARE(block.data.left(4), QByteArray("AVVB"));

    QList<int> parts;
    for (int i = 0; i < 4; ++i)
        parts.append(qFromLittleEndian<quint16>(block.data.constData() + offset + 2 * i));
    QCOMPARE(QVersionNumber(parts), projectVersion());
}

void TestVersion::packageVersion()
{
    QFile file(QStringLiteral(AMBERVALE_CPACK_CONFIG));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray config = file.readAll();

    bool found = false;
    QCOMPARE(cpackValue(config, QStringLiteral("CPACK_PACKAGE_VERSION"), &found),
             QStringLiteral(AMBERVALE_VERSION));
    QVERIFY(found);
    // A Debian version of its own, or a release suffix, would set the package apart.
    const QString debianVersion =
        cpackValue(config, QStringLiteral("CPACK_DEBIAN_PACKAGE_VERSION"), &found);
    if (found)
        QCOMPARE(debianVersion, QStringLiteral(AMBERVALE_VERSION));
    cpackValue(config, QStringLiteral("CPACK_DEBIAN_PACKAGE_RELEASE"), &found);
    QVERIFY(!found);
}

QTEST_MAIN(TestVersion)
#include "tst_version.moc"
