#include "testmain.h"

#include "view/makeraddress.h"

#include <QFile>
#include <QRegularExpression>

namespace {
const char DocumentType[] = R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)";
}

// The book as stored in the tree, the bytes the program embeds as its HTML resource.
class TestBook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sizeAndEnding();
    void lineEndsAndCharacters();
    void declaredDocumentTypeAndCharset();
    void partsInOrder();
    void oneLinkToTheMaker();
    void coloursAsStyles();
    void noForbiddenMarkup_data();
    void noForbiddenMarkup();
    void textIsPlainParagraphs();

private:
    QByteArray m_book;
    QByteArray m_text; // everything after the centred title block
};

void TestBook::initTestCase()
{
    QFile file(QStringLiteral(AMBERVALE_SOURCE_DIR "/resources/d.htm"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    m_book = file.readAll();
    const qsizetype blockEnd = m_book.indexOf("</div>");
    QVERIFY(blockEnd > 0);
    m_text = m_book.mid(blockEnd + 6);
}

void TestBook::sizeAndEnding()
{
    QCOMPARE(m_book.size(), 17760);
    QVERIFY(m_book.endsWith(QByteArray("</html>\r\n", 9) + '\0'));
    QCOMPARE(m_book.count('\0'), 1);
}

void TestBook::lineEndsAndCharacters()
{
    const QByteArray text = m_book.chopped(1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        QVERIFY2(c != '\0' && static_cast<unsigned char>(c) < 0x80,
                 qPrintable(QStringLiteral("byte %1 at %2").arg(static_cast<unsigned char>(c)).arg(i)));
        if (c == '\r')
            QVERIFY2(i + 1 < text.size() && text.at(i + 1) == '\n', qPrintable(QString::number(i)));
        if (c == '\n')
            QVERIFY2(i > 0 && text.at(i - 1) == '\r', qPrintable(QString::number(i)));
    }
}

void TestBook::declaredDocumentTypeAndCharset()
{
    QVERIFY(m_book.startsWith(DocumentType));
    const QRegularExpression meta(R"(<meta\s[^>]*>)", QRegularExpression::CaseInsensitiveOption);
    const auto tags = meta.globalMatch(QString::fromLatin1(m_book));
    QStringList found;
    for (const auto &match : tags)
        found << match.captured();
    QCOMPARE(found.size(), 1);
    const QString httpEquiv = R"(http-equiv="content-type")";
    const QString content = R"(content="text/html; charset=ISO-8859-1")";
    QVERIFY2(found.first().contains(httpEquiv), qPrintable(found.first()));
    QVERIFY2(found.first().contains(content), qPrintable(found.first()));
}

void TestBook::partsInOrder()
{
    // Each part is looked for after the one before it; most must follow it directly.
    enum Place { Later, Next };
    struct Part
    {
        const char *name;
        Place place;
        QString pattern;
    };
    const QList<Part> parts = {
        { "document type", Next, QRegularExpression::escape(QString::fromLatin1(DocumentType)) },
        { "meta", Later, R"(<meta\s[^>]*>)" },
        { "head title", Later, R"(<title>untitled</title>\s*</head>\s*<body>\s*)" },
        { "centred block", Next, R"(<div style="text-align: center;">)" },
        { "book title, bold, +3, dark blue", Next,
          R"(<b><font style="color: rgb\(0, 0, 153\);" size="\+3">[A-Za-z][^<]+</font></b>)" },
        { "two empty bold elements", Next, R"((<b style="color: rgb\(0, 0, 153\);"></b>){2}\s*)" },
        { "by and the author, bold, +2", Next,
          R"(<b><font style="color: rgb\(51, 51, 153\);" size="\+2"><br>\s*by<br>\s*Palendor<br>\s*<br>\s*</font></b>)" },
        { "notice, helvetica, -1, normal weight", Next,
          R"(<font face="helvetica,arial,sans-serif" size="-1"><span style="font-weight: normal;">[^<]*free[^<]*<br>\s*)" },
        { "link", Next, R"(<a href="[^"]+">[^<]*[A-Za-z][^<]*</a>)" },
        { "five line breaks", Next, R"((<br>\s*){5}</span></font></div>)" },
        { "one line break", Next, R"(\r\n<br>\r\n)" },
        { "text", Next, R"([A-Za-z])" },
        { "closing tags", Later, R"(\r\n</body>\r\n</html>\r\n$)" },
    };
    const QString book = QString::fromLatin1(m_book.chopped(1));
    qsizetype from = 0;
    for (const Part &part : parts) {
        const auto match = QRegularExpression(part.pattern)
                               .match(book, from, QRegularExpression::NormalMatch,
                                      part.place == Next ? QRegularExpression::AnchorAtOffsetMatchOption
                                                         : QRegularExpression::NoMatchOption);
        QVERIFY2(match.hasMatch(), part.name);
        from = match.capturedEnd();
    }
}

void TestBook::oneLinkToTheMaker()
{
    QCOMPARE(m_book.count("<a "), 1);
    QCOMPARE(m_book.toLower().count("href"), 1);
    const auto match = QRegularExpression(R"re(<a href="([^"]*)">)re").match(QString::fromLatin1(m_book));
    QVERIFY(match.hasMatch());
    QCOMPARE(match.captured(1), QString::fromLatin1(MakerAddress));
    QVERIFY(match.captured(1).startsWith(u"http://") && match.captured(1).endsWith(u'/'));
}

void TestBook::coloursAsStyles()
{
    // The view ignores colours given as color="..." attributes.
    const QRegularExpression attribute(R"(\scolor\s*=)", QRegularExpression::CaseInsensitiveOption);
    const auto match = attribute.match(QString::fromLatin1(m_book));
    QVERIFY2(!match.hasMatch(), qPrintable(match.captured()));
    const QByteArray titleColour = R"(style="color: rgb(0, 0, 153);")";
    const QByteArray authorColour = R"(style="color: rgb(51, 51, 153);")";
    QCOMPARE(m_book.count(titleColour), 3);
    QCOMPARE(m_book.count(authorColour), 1);
}

void TestBook::noForbiddenMarkup_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("image") << R"(<img\b)";
    QTest::newRow("script") << R"(<script\b)";
    QTest::newRow("style sheet element") << R"(<style\b)";
    QTest::newRow("linked style sheet") << R"(<link\b)";
    QTest::newRow("heading") << R"(<h[1-6]\b)";
    QTest::newRow("frame or frameset") << R"(<frame)";
    QTest::newRow("iframe") << R"(<iframe\b)";
    QTest::newRow("object or embed") << R"(<(object|embed|applet)\b)";
    QTest::newRow("event handler") << R"(\son[a-z]+\s*=)";
}

void TestBook::noForbiddenMarkup()
{
    QFETCH(QString, pattern);
    const QRegularExpression forbidden(pattern, QRegularExpression::CaseInsensitiveOption);
    const auto match = forbidden.match(QString::fromLatin1(m_book));
    QVERIFY2(!match.hasMatch(), qPrintable(match.captured()));
}

void TestBook::textIsPlainParagraphs()
{
    const QRegularExpression tag(R"(<[^>]*>)");
    for (const auto &match : tag.globalMatch(QString::fromLatin1(m_text))) {
        const QString t = match.captured();
        QVERIFY2(t == u"<br>" || t == u"</body>" || t == u"</html>", qPrintable(t));
    }
    QVERIFY(!m_text.contains('&'));

    QList<QByteArray> lines = m_text.chopped(1).split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    for (QByteArray &line : lines)
        line.chop(1); // the CR
    QCOMPARE(lines.takeFirst(), QByteArray()); // rest of the </div> line
    QCOMPARE(lines.takeFirst(), QByteArray("<br>"));
    QCOMPARE(lines.takeLast(), QByteArray("</html>"));
    QCOMPARE(lines.takeLast(), QByteArray("</body>"));

    int paragraphs = 1;
    qsizetype letters = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const QByteArray where = "line " + QByteArray::number(i) + ": " + line;
        QVERIFY2(line.size() <= 76, where.constData());
        QVERIFY2(line.indexOf("<br>") < 0 || line.indexOf("<br>") == line.size() - 4, where.constData());
        if (line == "<br>") {
            // the second of the two breaks between paragraphs, between two lines of text
            QVERIFY2(i > 0 && lines.at(i - 1).endsWith("<br>") && lines.at(i - 1) != "<br>", where.constData());
            QVERIFY2(i + 1 < lines.size() && !lines.at(i + 1).isEmpty() && !lines.at(i + 1).startsWith('<'),
                     where.constData());
            ++paragraphs;
        } else {
            QVERIFY2(!line.trimmed().isEmpty(), where.constData());
            if (line.endsWith("<br>"))
                QVERIFY2(i + 1 < lines.size() && lines.at(i + 1) == "<br>", where.constData());
            for (char c : line)
                letters += std::isalpha(static_cast<unsigned char>(c)) ? 1 : 0;
        }
    }
    QVERIFY2(!lines.constLast().endsWith("<br>"), lines.constLast().constData());
    QVERIFY2(paragraphs >= 20, qPrintable(QString::number(paragraphs)));
    QVERIFY2(letters >= 10000, qPrintable(QString::number(letters)));
}

AMBERVALE_TEST_MAIN(TestBook)
#include "tst_book.moc"
