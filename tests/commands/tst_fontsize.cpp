#include "testmain.h"
#include "testplatform.h"

#include "commands/menubar.h"
#include "commands/menuitem.h"
#include "shell/form1.h"

class tst_FontSize : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choices_data();
    void choices();
};

void tst_FontSize::choices_data()
{
    QTest::addColumn<QList<int>>("chosen");
    QTest::addColumn<QString>("view"); // "", "failing" or "throwing"
    QTest::addColumn<int>("checked"); // 0: none
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("none at start") << QList<int>{} << "" << 0 << QStringList{};
    QTest::newRow("Medium") << QList<int>{2} << "" << 2 << QStringList{"ExecWB(19,0,2)"};
    QTest::newRow("Larger then Smaller") << QList<int>{3, 1} << "" << 1
                                         << QStringList{"ExecWB(19,0,3)", "ExecWB(19,0,1)"};
    QTest::newRow("the checked one again") << QList<int>{2, 2} << "" << 2
                                           << QStringList{"ExecWB(19,0,2)", "ExecWB(19,0,2)"};
    QTest::newRow("refused zoom keeps the mark") << QList<int>{3} << "failing" << 3 << QStringList{"ExecWB(19,0,3)"};
    QTest::newRow("failing zoom keeps the mark") << QList<int>{1} << "throwing" << 1 << QStringList{"ExecWB(19,0,1)"};
}

void tst_FontSize::choices()
{
    QFETCH(QList<int>, chosen);
    QFETCH(QString, view);
    QFETCH(int, checked);
    QFETCH(QStringList, calls);

    TestPlatform platform;
    platform.prepareView = [view](RecordingView &recording) {
        if (view == QLatin1String("failing"))
            recording.failing.insert(QStringLiteral("ExecWB"));
        if (view == QLatin1String("throwing"))
            recording.throwing.insert(QStringLiteral("ExecWB"));
    };
    Form1 form(platform);
    platform.recordingView()->calls.clear();
    for (int index : chosen)
        form.menus()->fontSizeItem(qint16(index))->action()->trigger();

    for (int index = 1; index <= 3; ++index) {
        MenuItem *item = form.menus()->fontSizeItem(qint16(index));
        QCOMPARE(item->Checked(), index == checked);
        QCOMPARE(item->action()->isChecked(), index == checked);
    }
    QCOMPARE(platform.recordingView()->calls, calls);
    QVERIFY(platform.runtimeErrors.isEmpty());
}

AMBERVALE_TEST_MAIN(tst_FontSize)
#include "tst_fontsize.moc"
