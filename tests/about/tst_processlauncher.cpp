#include <QtTest>

#include "about/processlauncher.h"

class TestProcessLauncher : public QObject
{
    Q_OBJECT

private slots:
    void resolve_data();
    void resolve();
    void launchReportsWhetherTheProgramStarted_data();
    void launchReportsWhetherTheProgramStarted();
};

void TestProcessLauncher::resolve_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QStringList>("command");

    QTest::newRow("opener of an address") << "Start.exe http://x/" << QStringList{"xdg-open", "http://x/"};
    QTest::newRow("the About box's own line")
        << "Start.exe http://www.palendor.example/"
        << QStringList{"xdg-open", "http://www.palendor.example/"};
    QTest::newRow("opener in other case") << "START.EXE http://x/" << QStringList{"xdg-open", "http://x/"};
    QTest::newRow("opener in lower case") << "start.exe http://x/" << QStringList{"xdg-open", "http://x/"};
    QTest::newRow("opener quoted") << "\"Start.exe\" http://x/" << QStringList{"xdg-open", "http://x/"};
    QTest::newRow("opener alone") << "Start.exe" << QStringList{"xdg-open"};
    QTest::newRow("other program kept") << "notepad.exe a.txt" << QStringList{"notepad.exe", "a.txt"};
    QTest::newRow("name that only begins like the opener")
        << "Start.exe.bak x" << QStringList{"Start.exe.bak", "x"};
    QTest::newRow("quoted argument with spaces")
        << "Start.exe \"http://x/a b\" c" << QStringList{"xdg-open", "http://x/a b", "c"};
    QTest::newRow("quoted program with spaces")
        << "\"/opt/my tools/run\" --go" << QStringList{"/opt/my tools/run", "--go"};
    QTest::newRow("runs of blanks and tabs")
        << "  Start.exe \t  http://x/   " << QStringList{"xdg-open", "http://x/"};
    QTest::newRow("no shell: metacharacters stay text")
        << "Start.exe http://x/;rm -rf ~ |cat" << QStringList{"xdg-open", "http://x/;rm", "-rf", "~", "|cat"};
    QTest::newRow("quotes joined to text") << "prog a\"b c\"d" << QStringList{"prog", "ab cd"};
    QTest::newRow("empty quoted argument kept") << "prog \"\" x" << QStringList{"prog", "", "x"};
    QTest::newRow("unclosed quote runs to the end")
        << "prog \"a b" << QStringList{"prog", "a b"};
    QTest::newRow("empty line") << "" << QStringList{};
    QTest::newRow("blank line") << "   \t " << QStringList{};
    QTest::newRow("empty quoted program") << "\"\" http://x/" << QStringList{};
}

void TestProcessLauncher::resolve()
{
    QFETCH(QString, commandLine);
    QFETCH(QStringList, command);

    QCOMPARE(ProcessLauncher::resolve(commandLine), command);
}

void TestProcessLauncher::launchReportsWhetherTheProgramStarted_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("started");

    QTest::newRow("program that exists") << "true --ignored" << true;
    QTest::newRow("program that does not exist") << "ambervale-no-such-program http://x/" << false;
    QTest::newRow("path that does not exist") << "/nonexistent/dir/prog" << false;
    QTest::newRow("empty line") << "" << false;
    QTest::newRow("blank line") << "   " << false;
}

void TestProcessLauncher::launchReportsWhetherTheProgramStarted()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, started);

    ProcessLauncher launcher;
    bool result = !started;
    try {
        result = launcher.launch(commandLine);
    } catch (...) {
        QFAIL("launch threw");
    }
    QCOMPARE(result, started);
}

// No web view here, so no res: scheme to register before the application object.
QTEST_MAIN(TestProcessLauncher)
#include "tst_processlauncher.moc"
