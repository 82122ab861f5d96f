#include "testmain.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// The whole program, from the splash to File > Exit, in a process of its own whose home,
// settings, cache, data, state, runtime and temporary folders and working folder are fresh
// and empty: they must all be empty again when it has ended.
class tst_NoTrace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void walkThroughTheProgramLeavesNoTrace_data();
    void walkThroughTheProgramLeavesNoTrace();
};

// A display server of its own, for the run on a real display with GL drawing, where the
// graphics driver has caches of its own.
class VirtualDisplay
{
public:
    ~VirtualDisplay()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(10000))
                m_server.kill();
        }
    }

    // The display's name, or an empty string when no server could be started.
    QString start()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (server.isEmpty())
            return {};
        // The server picks a free display and writes its number to the given descriptor.
        m_server.start(server, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                                QStringLiteral("tcp")});
        if (!m_server.waitForStarted())
            return {};
        QByteArray number;
        while (!number.endsWith('\n') && m_server.waitForReadyRead(20000))
            number += m_server.readAllStandardOutput();
        number = number.trimmed();
        return number.isEmpty() ? QString() : QStringLiteral(":") + QString::fromLatin1(number);
    }

private:
    QProcess m_server;
};

void tst_NoTrace::walkThroughTheProgramLeavesNoTrace_data()
{
    QTest::addColumn<QString>("platform");
    QTest::newRow("offscreen") << QStringLiteral("offscreen");
    QTest::newRow("X11 display with GL drawing") << QStringLiteral("xcb");
}

void tst_NoTrace::walkThroughTheProgramLeavesNoTrace()
{
    QFETCH(QString, platform);
    // Made in this test's own temporary folder, outside every folder the program is given.
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QList<std::pair<QString, QString>> folders = {
        {QStringLiteral("HOME"), QStringLiteral("home")},
        {QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("config")},
        {QStringLiteral("XDG_CACHE_HOME"), QStringLiteral("cache")},
        {QStringLiteral("XDG_DATA_HOME"), QStringLiteral("data")},
        {QStringLiteral("XDG_STATE_HOME"), QStringLiteral("state")},
        {QStringLiteral("XDG_RUNTIME_DIR"), QStringLiteral("runtime")},
        {QStringLiteral("TMPDIR"), QStringLiteral("tmp")},
        {QString(), QStringLiteral("cwd")},
    };

    // Nothing of this test's own environment goes through but what the engine needs to run
    // here; in particular no cache switch of the test environment, so that the program must
    // keep its caches off by itself.
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    VirtualDisplay display;
    if (platform == QLatin1String("xcb")) {
        const QString name = display.start();
        if (name.isEmpty())
            QSKIP("No virtual X server (Xvfb) to run on");
        environment.insert(QStringLiteral("DISPLAY"), name);
    }
    environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    const QProcessEnvironment own = QProcessEnvironment::systemEnvironment();
    for (const char *sanitizer : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"}) {
        if (own.contains(QLatin1String(sanitizer)))
            environment.insert(QLatin1String(sanitizer), own.value(QLatin1String(sanitizer)));
    }
    for (const auto &[variable, name] : folders) {
        QVERIFY(QDir(root.path()).mkdir(name));
        const QString path = root.filePath(name);
        // The runtime folder is private to its user, as the desktop makes it.
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        if (!variable.isEmpty())
            environment.insert(variable, path);
    }

    QProcess program;
    program.setProgram(QStringLiteral(NOTRACE_DRIVER));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(root.filePath(QStringLiteral("cwd")));
    program.start();
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    const bool finished = program.waitForFinished(240000);
    if (!finished)
        program.kill();
    // The steps taken and the last words of the program; the engine's own start-up report
    // would crowd them out of the message.
    const QStringList lines = QString::fromLocal8Bit(program.readAllStandardError()).split(QLatin1Char('\n'));
    QStringList shown;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).startsWith(QLatin1String("step: ")) || lines.at(i).startsWith(QLatin1String("walk failed"))
            || i >= lines.size() - 12)
            shown.append(lines.at(i));
    }
    const QString log = shown.join(QLatin1Char('\n'));
    QVERIFY2(finished, qPrintable(log));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == 0, qPrintable(QStringLiteral("exit code %1\n%2").arg(program.exitCode()).arg(log)));
    // Every step was taken: the walk reached File > Exit, and nothing else ended the program.
    for (const char *step : {"the book shown", "Back", "Start Page", "File > Print Preview, shown and closed",
                             "a word searched", "About box closed with OK", "File > Exit"})
        QVERIFY2(lines.contains(QStringLiteral("step: %1").arg(QLatin1String(step))), qPrintable(log));

    QStringList written;
    for (const auto &[variable, name] : folders) {
        const QString path = root.filePath(name);
        QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QFileInfo entry = it.fileInfo();
            written.append(QStringLiteral("%1/%2 (%3)")
                                   .arg(variable.isEmpty() ? QStringLiteral("working folder") : variable,
                                        QDir(path).relativeFilePath(entry.filePath()))
                                   .arg(entry.isDir() ? QStringLiteral("folder") : QStringLiteral("%1 bytes").arg(entry.size())));
        }
    }
    QVERIFY2(written.isEmpty(), qPrintable(QStringLiteral("the program left behind:\n  ") + written.join(QStringLiteral("\n  "))));
}

AMBERVALE_TEST_MAIN(tst_NoTrace)
#include "tst_notrace.moc"
