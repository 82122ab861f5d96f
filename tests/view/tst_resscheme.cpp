#include "testmain.h"

#include "resources/elffixture.h"
#include "view/resourcereader.h"
#include "view/resscheme.h"
#include "view/startpage.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineView>

#include <memory>
#include <optional>

namespace {

// Engine start-up and page loads are slow on a busy machine.
constexpr int EngineTimeout = 120000;

const QString BookTitle = QStringLiteral("The Lamp in the Window");
const QString NotFound = QStringLiteral("The book could not be found");
const QUrl WebPage(QStringLiteral("http://localhost/"));

// The handler as installed, counting the requests that reach it.
class CountingScheme : public ResScheme
{
public:
    using ResScheme::ResScheme;

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        requests << job->requestUrl();
        ResScheme::requestStarted(job);
    }

    QList<QUrl> requests;
};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class TestResScheme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void toUrlKeepsEveryCharacter_data();
    void toUrlKeepsEveryCharacter();
    void showsBook_data();
    void showsBook();
    void showsLatin1WithoutTrailingNul();
    void showsNotFound_data();
    void showsNotFound();
    void historyReturnsToBook();
    void webPageCannotReachRes_data();
    void webPageCannotReachRes();
    void webLinkCannotOpenRes();

private:
    bool load(const QUrl &url);
    bool setWebPage(const QString &html);
    QVariant evaluate(const QString &script);
    QString bodyText() { return evaluate(QStringLiteral("document.body ? document.body.innerText : ''")).toString(); }

    QTemporaryDir m_dir;
    QString m_awkwardCopy;
    QString m_exeCopy;
    QString m_otherExtensionCopy;
    QString m_backslashCopy;
    QWebEngineProfile *m_profile = nullptr;
    CountingScheme *m_scheme = nullptr;
    QWebEngineView *m_view = nullptr;
};

void TestResScheme::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString binary = QStringLiteral(AMBERVALE_BINARY);
    const QString awkward = m_dir.filePath(QString::fromUtf8("a b #x %y ?z &amp; é"));
    QVERIFY(QDir().mkpath(awkward));
    m_awkwardCopy = awkward + QStringLiteral("/ambervale");
    QVERIFY(QFile::copy(binary, m_awkwardCopy));
    m_exeCopy = m_dir.filePath(QStringLiteral("Reader.exe"));
    QVERIFY(QFile::copy(binary, m_exeCopy));
    m_otherExtensionCopy = m_dir.filePath(QStringLiteral("Other.bin"));
    QVERIFY(QFile::copy(binary, m_otherExtensionCopy));
    const QString backslash = m_dir.filePath(QStringLiteral("a\\b"));
    QVERIFY(QDir().mkpath(backslash));
    m_backslashCopy = backslash + QStringLiteral("/ambervale");
    QVERIFY(QFile::copy(binary, m_backslashCopy));

    m_profile = new QWebEngineProfile(this);
    QVERIFY(m_profile->isOffTheRecord());
    m_scheme = new CountingScheme(m_profile);
    m_profile->installUrlSchemeHandler("res", m_scheme);
}

void TestResScheme::init()
{
    m_view = new QWebEngineView;
    m_view->setPage(new QWebEnginePage(m_profile, m_view));
    m_view->resize(800, 600);
    m_view->show();
    m_scheme->requests.clear();
}

void TestResScheme::cleanup()
{
    delete m_view;
    m_view = nullptr;
}

void TestResScheme::cleanupTestCase()
{
    delete m_profile;
    m_profile = nullptr;
}

bool TestResScheme::load(const QUrl &url)
{
    QSignalSpy finished(m_view->page(), &QWebEnginePage::loadFinished);
    m_view->page()->load(url);
    return QTest::qWaitFor([&] { return !finished.isEmpty(); }, EngineTimeout);
}

bool TestResScheme::setWebPage(const QString &html)
{
    QSignalSpy finished(m_view->page(), &QWebEnginePage::loadFinished);
    m_view->page()->setHtml(html, WebPage);
    return QTest::qWaitFor([&] { return !finished.isEmpty(); }, EngineTimeout);
}

QVariant TestResScheme::evaluate(const QString &script)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    m_view->page()->runJavaScript(script, [result](const QVariant &value) { *result = value; });
    if (!QTest::qWaitFor([&] { return result->has_value(); }, EngineTimeout))
        return QStringLiteral("<no answer from the page>");
    return **result;
}

// The address is text; characters that mean something in a URL must reach the handler as
// part of the file's path.
void TestResScheme::toUrlKeepsEveryCharacter_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("name");

    QTest::newRow("plain") << "res:///opt/bin\\ambervale.exe/d.htm" << QStringList{"/opt/bin/ambervale.exe"} << "d.htm";
    QTest::newRow("space, number sign, percent, question mark")
            << "res:///home/a b/#x %y ?z\\ambervale.exe/d.htm" << QStringList{"/home/a b/#x %y ?z/ambervale.exe"} << "d.htm";
    QTest::newRow("percent sequence stays text") << "res:///tmp/%41%2F\\a.exe/d.htm" << QStringList{"/tmp/%41%2F/a.exe"} << "d.htm";
    QTest::newRow("root") << "res:///\\ambervale.exe/d.htm" << QStringList{"/ambervale.exe"} << "d.htm";
    QTest::newRow("non-ASCII") << QString::fromUtf8("res:///home/zoë\\a.exe/d.htm")
                               << QStringList{QString::fromUtf8("/home/zoë/a.exe")} << "d.htm";
    QTest::newRow("scheme in capitals") << "RES:///opt\\a.exe/d.htm" << QStringList{"/opt/a.exe"} << QStringLiteral("d.htm");
    QTest::newRow("backslash in a directory's name")
            << "res:///opt/a\\b\\ambervale.exe/d.htm" << QStringList{"/opt/a\\b/ambervale.exe", "/opt/a/b/ambervale.exe"} << "d.htm";
    QTest::newRow("drive-style address is no host")
            << "res://C:\\Books\\Reader.exe/d.htm" << QStringList{"C:\\Books/Reader.exe", "C:/Books/Reader.exe"} << "d.htm";
    QTest::newRow("no resource name") << "res:///opt\\a.exe/" << QStringList{"/opt/a.exe"} << "";
}

void TestResScheme::toUrlKeepsEveryCharacter()
{
    QFETCH(QString, address);
    QFETCH(QStringList, files);
    QFETCH(QString, name);

    const QUrl url = ResScheme::toUrl(address);
    QVERIFY(url.isValid());
    QCOMPARE(url.scheme(), QStringLiteral("res"));
    QVERIFY(!url.hasQuery());
    QVERIFY(!url.hasFragment());
    QCOMPARE(url.host(), QString());
    const ResScheme::Location location = ResScheme::locate(url);
    QCOMPARE(location.filePaths, files);
    QCOMPARE(location.resourceName, name);
}

void TestResScheme::showsBook_data()
{
    QTest::addColumn<QString>("executable");

    // The built program has no extension: the address's ".exe" falls back to it.
    QTest::newRow("built binary") << QStringLiteral(AMBERVALE_BINARY);
    QTest::newRow("copy in a directory with spaces, #, % and ?") << m_awkwardCopy;
    QTest::newRow("copy named .exe") << m_exeCopy;
    QTest::newRow("copy in a directory with a backslash in its name") << m_backslashCopy;
}

void TestResScheme::showsBook()
{
    QFETCH(QString, executable);

    const QUrl url = ResScheme::toUrl(StartPage::address(executable));
    QVERIFY(load(url));
    QCOMPARE(m_scheme->requests.size(), 1);
    QCOMPARE(m_view->page()->url(), url);
    QCOMPARE(m_view->page()->title(), QStringLiteral("untitled"));
    const QString text = bodyText();
    QVERIFY2(text.contains(BookTitle), qPrintable(text.left(300)));
    QVERIFY(text.contains(QStringLiteral("Palendor")));
    QVERIFY(!text.contains(NotFound));
}

// Bytes are ISO-8859-1 text, and the resource's trailing NUL is not part of the page: in a
// textarea left open at the end it would show as U+FFFD.
void TestResScheme::showsLatin1WithoutTrailingNul()
{
    const QByteArray page = QByteArray("<html><body><p id=p>caf\xe9 na\xefve</p><textarea id=t>end") + '\0';
    const QString path = m_dir.filePath(QStringLiteral("latin1.exe"));
    QVERIFY(writeFile(path, ElfFixture::elf(ElfFixture::table({ { ResourceReader::Html, 1033, "D.HTM", page } })).bytes));

    QVERIFY(load(ResScheme::toUrl(StartPage::address(path))));
    QCOMPARE(evaluate(QStringLiteral("document.getElementById('p').textContent")).toString(),
             QString::fromUtf8("café naïve"));
    QCOMPARE(evaluate(QStringLiteral("document.getElementById('t').value")).toString(), QStringLiteral("end"));
}

void TestResScheme::showsNotFound_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("reason");

    const QString dir = m_dir.path();
    const QString binaryDir = QFileInfo(QStringLiteral(AMBERVALE_BINARY)).path();
    QVERIFY(writeFile(dir + "/plain", "just some text, long enough to hold an ELF header if it were one....."));
    QVERIFY(QDir().mkpath(dir + "/folder.exe"));

    QTest::newRow("no such file") << StartPage::address(dir + "/missing/ambervale")
                                  << QStringLiteral("There is no file %1/missing/ambervale.exe, nor %1/missing/ambervale.").arg(dir);
    QTest::newRow("other extension, no .exe beside it")
            << StartPage::address(m_otherExtensionCopy)
            << QStringLiteral("There is no file %1/Other.exe, nor %1/Other.").arg(dir);
    QTest::newRow("root directory") << StartPage::address("/no-such-ambervale")
                                    << "There is no file /no-such-ambervale.exe, nor /no-such-ambervale.";
    QTest::newRow("a directory") << "res://" + dir + "\\folder.exe/d.htm"
                                 << QStringLiteral("There is no file %1/folder.exe, nor %1/folder.").arg(dir);
    QTest::newRow("not an ELF file") << StartPage::address(dir + "/plain") << dir + "/plain: the file is not an ELF file.";
    QTest::newRow("no such resource") << "res://" + binaryDir + "\\ambervale.exe/other.htm"
                                      << "no resource of type 23 named \"other.htm\"";
    QTest::newRow("no resource name") << "res://" + binaryDir + "\\ambervale.exe/" << "The address names no resource.";
    QTest::newRow("reason is escaped") << StartPage::address(dir + "/<i>x&amp;y</i>/ambervale")
                                       << QStringLiteral("There is no file %1/<i>x&amp;y</i>/ambervale.exe").arg(dir);
}

void TestResScheme::showsNotFound()
{
    QFETCH(QString, address);
    QFETCH(QString, reason);

    QVERIFY(load(ResScheme::toUrl(address)));
    QCOMPARE(m_scheme->requests.size(), 1);
    QCOMPARE(m_view->page()->title(), QStringLiteral("Book not found"));
    const QString text = bodyText();
    QVERIFY2(text.contains(NotFound), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('i').length")).toInt(), 0);
}

// The book's one link leads to the web; Back must bring the book again.
void TestResScheme::historyReturnsToBook()
{
    const QUrl book = ResScheme::toUrl(StartPage::address(m_awkwardCopy));
    QVERIFY(load(book));
    QVERIFY(setWebPage(QStringLiteral("<html><body>the maker's site</body></html>")));
    QVERIFY(bodyText().contains(QStringLiteral("maker's site")));

    QSignalSpy back(m_view->page(), &QWebEnginePage::loadFinished);
    m_view->back();
    QTRY_VERIFY_WITH_TIMEOUT(!back.isEmpty(), EngineTimeout);
    QCOMPARE(m_view->page()->url(), book);
    QVERIFY(bodyText().contains(BookTitle));

    QSignalSpy forward(m_view->page(), &QWebEnginePage::loadFinished);
    m_view->forward();
    QTRY_VERIFY_WITH_TIMEOUT(!forward.isEmpty(), EngineTimeout);
    QVERIFY(bodyText().contains(QStringLiteral("maker's site")));
}

void TestResScheme::webPageCannotReachRes_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("settled");

    // RES stands for the book's address; each page records in window.outcome how its attempt ended.
    QTest::newRow("fetch")
            << "<script>window.outcome = 'pending';"
               "fetch('RES').then(r => r.text()).then(t => { window.outcome = 'content ' + t.length; },"
               "                                       e => { window.outcome = 'blocked'; });</script>"
            << "blocked";
    QTest::newRow("frame")
            << "<script>window.outcome = 'pending';</script>"
               "<iframe src='RES' onload=\"window.outcome = 'frame settled'\"></iframe>"
            << "frame settled";
    QTest::newRow("image")
            << "<script>window.outcome = 'pending';</script>"
               "<img src='RES' onload=\"window.outcome = 'loaded'\" onerror=\"window.outcome = 'blocked'\">"
            << "blocked";
}

void TestResScheme::webPageCannotReachRes()
{
    QFETCH(QString, html);
    QFETCH(QString, settled);

    const QUrl book = ResScheme::toUrl(StartPage::address(QStringLiteral(AMBERVALE_BINARY)));
    QVERIFY(setWebPage(html.replace(QStringLiteral("RES"), book.toString(QUrl::FullyEncoded))));
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(QStringLiteral("window.outcome")).toString(), settled, EngineTimeout);
    QCOMPARE(m_view->page()->url(), WebPage);
    QCOMPARE(m_scheme->requests.size(), 0);

    // The program itself still reaches the book from the web page, and that request is the
    // first the handler sees.
    QVERIFY(load(book));
    QVERIFY(bodyText().contains(BookTitle));
    QCOMPARE(m_scheme->requests, QList<QUrl>{ book });
}

void TestResScheme::webLinkCannotOpenRes()
{
    const QUrl book = ResScheme::toUrl(StartPage::address(QStringLiteral(AMBERVALE_BINARY)));
    QVERIFY(setWebPage(QStringLiteral("<a id=a href='%1'>book</a>").arg(book.toString(QUrl::FullyEncoded))));

    QSignalSpy finished(m_view->page(), &QWebEnginePage::loadFinished);
    evaluate(QStringLiteral("document.getElementById('a').click()"));
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), EngineTimeout);
    QCOMPARE(finished.last().at(0).toBool(), false);
    QCOMPARE(m_scheme->requests.size(), 0);
    QVERIFY(!bodyText().contains(BookTitle));

    QVERIFY(load(book));
    QVERIFY(bodyText().contains(BookTitle));
    QCOMPARE(m_scheme->requests, QList<QUrl>{ book });
}

AMBERVALE_TEST_MAIN(TestResScheme)

#include "tst_resscheme.moc"
