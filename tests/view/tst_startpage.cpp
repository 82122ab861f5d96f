#include "testmain.h"

#include "view/startpage.h"

class TestStartPage : public QObject
{
    Q_OBJECT

private slots:
    void address_data();
    void address();
};

void TestStartPage::address_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "/usr/bin/ambervale" << "res:///usr/bin\\ambervale.exe/d.htm";
    QTest::newRow("spaces, number sign and percent kept")
            << "/home/a b/#x %y/ambervale" << "res:///home/a b/#x %y\\ambervale.exe/d.htm";
    QTest::newRow("query and fragment characters kept")
            << "/tmp/what?now#here/ambervale" << "res:///tmp/what?now#here\\ambervale.exe/d.htm";
    QTest::newRow("root directory keeps its separator") << "/ambervale" << "res:///\\ambervale.exe/d.htm";
    QTest::newRow("exe extension") << "/opt/Reader.exe" << "res:///opt\\Reader.exe/d.htm";
    QTest::newRow("other extension replaced") << "/opt/reader.bin" << "res:///opt\\reader.exe/d.htm";
    QTest::newRow("only the last extension goes") << "/opt/my.reader.app" << "res:///opt\\my.reader.exe/d.htm";
    QTest::newRow("dot in the directory only") << "/opt/v1.2/ambervale" << "res:///opt/v1.2\\ambervale.exe/d.htm";
    QTest::newRow("hidden file has no extension") << "/opt/.ambervale" << "res:///opt\\.ambervale.exe/d.htm";
    QTest::newRow("case kept") << "/Opt/MixedCase/AmberVale.BIN" << "res:///Opt/MixedCase\\AmberVale.exe/d.htm";
    QTest::newRow("backslash in a name kept") << "/opt/a\\b/am\\ber" << "res:///opt/a\\b\\am\\ber.exe/d.htm";
    QTest::newRow("non-ASCII kept") << QString::fromUtf8("/home/zoë/Ämbervale")
                                    << QString::fromUtf8("res:///home/zoë\\Ämbervale.exe/d.htm");
    QTest::newRow("bare file name") << "ambervale" << "res://.\\ambervale.exe/d.htm";
    QTest::newRow("no path") << "" << "";
}

void TestStartPage::address()
{
    QFETCH(QString, executable);
    QFETCH(QString, expected);
    QCOMPARE(StartPage::address(executable), expected);
}

AMBERVALE_TEST_MAIN(TestStartPage)

#include "tst_startpage.moc"
