#include "testmain.h"

#include "view/finddialog.h"
#include "view/startpage.h"
#include "view/webbrowser.h"

#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QRegularExpression>
#include <QSettings>
#include <QFileDialog>
#include <QAction>
#include <QTemporaryDir>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <functional>
#include <memory>

using Operation = std::function<bool(WebBrowser &)>;
Q_DECLARE_METATYPE(Operation)

static constexpr int engineTimeout = 60000;

static QString dataAddress(const QString &html)
{
    return QStringLiteral("data:text/html;charset=utf-8,") + QString::fromLatin1(QUrl::toPercentEncoding(html));
}

static QString normalized(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

// The book as its source has it: the title and a few lines from the body, to look for in what
// the view shows, prints and copies.
struct Book
{
    QString title;
    QStringList lines;
};

static Book readBook()
{
    QFile file(QStringLiteral(AMBERVALE_SOURCE_DIR "/resources/d.htm"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString html = QString::fromLatin1(file.readAll());
    Book book;
    const QRegularExpression title(QStringLiteral("color:\\s*rgb\\(0,\\s*0,\\s*153\\);?\"?[^>]*>([^<]+)<"),
                                   QRegularExpression::CaseInsensitiveOption);
    book.title = normalized(title.match(html).captured(1));
    // Plain lines of the book's text: each ends with a line break element and holds no markup.
    QStringList plain;
    for (const QString &line : html.split(QStringLiteral("\r\n"))) {
        QString text = line;
        text.remove(QRegularExpression(QStringLiteral("<br>$"), QRegularExpression::CaseInsensitiveOption));
        if (text.size() > 50 && !text.contains(u'<') && !text.contains(u'&'))
            plain.append(normalized(text));
    }
    if (plain.size() >= 3)
        book.lines = { plain.first(), plain.at(plain.size() / 2), plain.last() };
    return book;
}

// Runs a script in the page and waits for its result; the state outlives a late answer.
static QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    auto answer = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [answer](const QVariant &value) { *answer = value; });
    if (!QTest::qWaitFor([&] { return answer->has_value(); }, engineTimeout))
        return QVariant(QStringLiteral("<no answer>"));
    return **answer;
}

static QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(engineTimeout) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

static int pdfPageCount(const QString &path)
{
    const QString info = runTool(QStringLiteral("pdfinfo"), { path });
    return QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
}

// Waits for a top-level dialog of the given kind to show, then lets `answer` handle it. The
// wait ends with `context` at the latest, so that it cannot answer a later test's dialog.
template<typename Dialog>
static void whenShown(QObject *context, std::function<void(Dialog *)> answer)
{
    auto *poll = new QTimer(context);
    poll->setInterval(100);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<Dialog *>(widget);
            if (dialog && dialog->isVisible()) {
                poll->deleteLater();
                poll->stop();
                answer(dialog);
                return;
            }
        }
    });
    poll->start();
}

// What the user picks in the print dialog besides the PDF file.
struct PrintChoice
{
    bool selectionOnly = false;
    int fromPage = 0;
    int toPage = 0;
};

// Fills in the print dialog for a PDF file, which every system offers, and confirms.
static void printToFile(QPrintDialog *dialog, const QString &path, PrintChoice choice)
{
    if (choice.fromPage > 0) {
        auto *range = dialog->findChild<QRadioButton *>(QStringLiteral("printRange"));
        auto *from = dialog->findChild<QSpinBox *>(QStringLiteral("from"));
        auto *to = dialog->findChild<QSpinBox *>(QStringLiteral("to"));
        if (!range || !from || !to) {
            dialog->reject();
            return;
        }
        range->setChecked(true);
        to->setValue(choice.toPage);
        from->setValue(choice.fromPage);
    }
    if (choice.selectionOnly) {
        auto *selection = dialog->findChild<QRadioButton *>(QStringLiteral("printSelection"));
        if (!selection || selection->isHidden() || !selection->isEnabled()) {
            dialog->reject();
            return;
        }
        selection->setChecked(true);
    }
    if (auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers")))
        printers->setCurrentIndex(printers->count() - 1);
    if (auto *fileName = dialog->findChild<QLineEdit *>(QStringLiteral("filename")))
        fileName->setText(path);
    dialog->accept();
}

class TestWebBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void failureChangesNothing_data();
    void failureChangesNothing();
    void backAndForwardStepThroughHistory();
    void newWindowLinkOpensInTheSameView();
    void startPageShowsTheBook_data();
    void startPageShowsTheBook();
    void titleShowsInTheDocumentsColour();
    void zoomScalesTextButNotPictures();
    void printToPdfFileKeepsTheText();
    void cancelledPrintPrintsNothing();
    void printSelectionPrintsOnlyTheSelection();
    void printPageRangePrintsThosePages();
    void previewShowsThePagesThatPrint();
    void previewPrintsToPdfFile();
    void selectAllThenCopyTakesTheBook();
    void findCommandOpensOneFindDialog();

private:
    bool load(QString address);
    bool loadBook();
    QString shownText();
    QString printToPdf(PrintChoice choice = {});

    std::unique_ptr<WebBrowser> m_browser;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestWebBrowser::initTestCase()
{
    // The file dialog keeps its history in the user's settings: not from a test.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

void TestWebBrowser::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_browser = std::make_unique<WebBrowser>();
    m_browser->resize(800, 600);
    m_browser->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_browser.get()));
}

void TestWebBrowser::cleanup()
{
    m_browser.reset();
    m_dir.reset();
}

bool TestWebBrowser::load(QString address)
{
    QSignalSpy loaded(m_browser.get(), &WebBrowser::loadFinished);
    if (!m_browser->Navigate(address))
        return false;
    return loaded.wait(engineTimeout) && loaded.last().value(0).toBool();
}

bool TestWebBrowser::loadBook()
{
    return load(StartPage::address(QStringLiteral(AMBERVALE_BINARY)));
}

QString TestWebBrowser::shownText()
{
    return normalized(evaluate(m_browser->webPage(), QStringLiteral("document.body.innerText")).toString());
}

QString TestWebBrowser::printToPdf(PrintChoice choice)
{
    const QString path = m_dir->filePath(QStringLiteral("printed.pdf"));
    QFile::remove(path);
    QSignalSpy printed(m_browser.get(), &WebBrowser::printingFinished);
    whenShown<QPrintDialog>(m_browser.get(), [path, choice](QPrintDialog *dialog) { printToFile(dialog, path, choice); });
    if (!m_browser->ExecWB(DocumentView::Print, DocumentView::PromptUser))
        return {};
    if (!printed.wait(engineTimeout) || !printed.last().value(0).toBool())
        return {};
    return path;
}

void TestWebBrowser::failureChangesNothing_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");

    const auto exec = [](qint32 command, qint32 option, std::optional<qint32> input = std::nullopt) {
        return Operation([=](WebBrowser &view) { return view.ExecWB(command, option, input); });
    };
    using V = WebBrowser;
    QTest::newRow("back with no earlier page") << Operation(&V::GoBack) << false << 9000.f << 6000.f;
    QTest::newRow("forward with no later page") << Operation(&V::GoForward) << false << 9000.f << 6000.f;
    QTest::newRow("negative width") << Operation([](V &v) { return v.setWidth(-15); }) << false << 9000.f << 6000.f;
    QTest::newRow("negative height") << Operation([](V &v) { return v.setHeight(-0.5f); }) << false << 9000.f << 6000.f;
    QTest::newRow("zero width") << Operation([](V &v) { return v.setWidth(0); }) << true << 0.f << 6000.f;
    QTest::newRow("zero height") << Operation([](V &v) { return v.setHeight(0); }) << true << 9000.f << 0.f;
    QTest::newRow("unknown command 1") << exec(1, DocumentView::DontPromptUser) << false << 9000.f << 6000.f;
    QTest::newRow("unknown command 18") << exec(18, DocumentView::DontPromptUser) << false << 9000.f << 6000.f;
    QTest::newRow("unknown option") << exec(DocumentView::SelectAll, 3) << false << 9000.f << 6000.f;
    QTest::newRow("zoom level -1") << exec(DocumentView::Zoom, DocumentView::DoDefault, -1) << false << 9000.f << 6000.f;
    QTest::newRow("zoom level 5") << exec(DocumentView::Zoom, DocumentView::DoDefault, 5) << false << 9000.f << 6000.f;
    QTest::newRow("zoom without a level") << exec(DocumentView::Zoom, DocumentView::DoDefault) << false << 9000.f << 6000.f;
    QTest::newRow("copy with nothing selected") << exec(DocumentView::Copy, DocumentView::DontPromptUser) << false << 9000.f << 6000.f;
    QTest::newRow("empty address") << Operation([](V &v) { QString a; return v.Navigate(a); }) << false << 9000.f << 6000.f;
    QTest::newRow("relative address") << Operation([](V &v) { QString a = "d.htm"; return v.Navigate(a); }) << false << 9000.f << 6000.f;
    QTest::newRow("empty web address") << Operation([](V &v) { return v.Navigate2(QString()); }) << false << 9000.f << 6000.f;
}

void TestWebBrowser::failureChangesNothing()
{
    QFETCH(Operation, operation);
    QFETCH(bool, succeeds);
    QFETCH(float, width);
    QFETCH(float, height);

    QVERIFY(load(dataAddress(QStringLiteral("<p>One page, nothing selected.</p>"))));
    QVERIFY(m_browser->setLeft(150) && m_browser->setTop(720));
    QVERIFY(m_browser->setWidth(9000) && m_browser->setHeight(6000));
    QGuiApplication::clipboard()->setText(QStringLiteral("left alone"));
    const QUrl url = m_browser->webPage()->url();
    const int textSize = m_browser->textSize();
    const QSize size = m_browser->size();

    QCOMPARE(operation(*m_browser), succeeds);

    QCOMPARE(m_browser->Left(), 150.f);
    QCOMPARE(m_browser->Top(), 720.f);
    QCOMPARE(m_browser->Width(), width);
    QCOMPARE(m_browser->Height(), height);
    if (!succeeds)
        QCOMPARE(m_browser->size(), size);
    QCOMPARE(m_browser->webPage()->url(), url);
    QCOMPARE(m_browser->webPage()->history()->count(), 1);
    QCOMPARE(m_browser->textSize(), textSize);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("left alone"));
}

void TestWebBrowser::backAndForwardStepThroughHistory()
{
    const QString first = dataAddress(QStringLiteral("<title>first</title><p>First page</p>"));
    const QString second = dataAddress(QStringLiteral("<title>second</title><p>Second page</p>"));
    QVERIFY(load(first));
    QVERIFY(load(second));

    QVERIFY(m_browser->GoBack());
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->webPage()->title(), QStringLiteral("first"), engineTimeout);
    QVERIFY(!m_browser->GoBack());

    QVERIFY(m_browser->GoForward());
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->webPage()->title(), QStringLiteral("second"), engineTimeout);
    QVERIFY(!m_browser->GoForward());
    QCOMPARE(m_browser->webPage()->history()->count(), 2);
}

void TestWebBrowser::newWindowLinkOpensInTheSameView()
{
    const QString target = dataAddress(QStringLiteral("<title>target</title><p>Opened here</p>"));
    QVERIFY(load(dataAddress(QStringLiteral("<a id=link target=_blank href='%1' style='font-size:40px'>open</a>")
                                     .arg(target))));
    const QVariantList box = evaluate(m_browser->webPage(), QStringLiteral(
            "(() => { const r = document.getElementById('link').getBoundingClientRect();"
            " return [r.x + r.width / 2, r.y + r.height / 2]; })()")).toList();
    QCOMPARE(box.size(), 2);
    QWidget *input = m_browser->webView()->focusProxy();
    QVERIFY(input);
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(box.at(0).toInt(), box.at(1).toInt()));

    QTRY_COMPARE_WITH_TIMEOUT(m_browser->webPage()->title(), QStringLiteral("target"), engineTimeout);
    QCOMPARE(m_browser->webPage()->history()->count(), 2);
    QVERIFY(m_browser->GoBack());
}

void TestWebBrowser::startPageShowsTheBook_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::newRow("as built") << "res:";
    QTest::newRow("scheme in capitals") << "RES:";
    QTest::newRow("scheme in mixed case") << "Res:";
}

void TestWebBrowser::startPageShowsTheBook()
{
    QFETCH(QString, scheme);
    const Book book = readBook();
    QVERIFY2(!book.title.isEmpty() && !book.lines.isEmpty(), "resources/d.htm unreadable");
    QString address = StartPage::address(QStringLiteral(AMBERVALE_BINARY));
    QVERIFY(address.startsWith(QLatin1String("res:")));
    QVERIFY(load(address.replace(0, 4, scheme)));

    const QString text = shownText();
    QVERIFY2(text.startsWith(book.title), qPrintable(text.left(200)));
    for (const QString &line : book.lines)
        QVERIFY2(text.contains(line), qPrintable(line));
    QVERIFY(!text.contains(u'\0'));
}

void TestWebBrowser::titleShowsInTheDocumentsColour()
{
    QVERIFY(loadBook());
    // Antialiased glyphs still have solid cores in the exact colour.
    const auto titlePixels = [this] {
        const QImage image = m_browser->webView()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                count += qRed(line[x]) == 0 && qGreen(line[x]) == 0 && qBlue(line[x]) == 153;
        }
        return count;
    };
    QTRY_VERIFY_WITH_TIMEOUT(titlePixels() > 50, engineTimeout);
}

void TestWebBrowser::zoomScalesTextButNotPictures()
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    QVERIFY(load(dataAddress(QStringLiteral("<p><span id=text>Sample text</span></p>"
                                            "<img id=picture src='data:image/png;base64,%1'>")
                                     .arg(QString::fromLatin1(png.toBase64())))));

    const auto measure = [this] {
        return evaluate(m_browser->webPage(), QStringLiteral(
                "(() => { const t = document.getElementById('text').getBoundingClientRect();"
                " const p = document.getElementById('picture').getBoundingClientRect();"
                " return [t.height, p.width, p.height]; })()")).toList();
    };
    const auto textHeight = [&] { return measure().value(0).toDouble(); };
    const double normal = textHeight();
    QVERIFY(normal > 0);

    double previous = normal;
    for (int level = 0; level <= 4; ++level) {
        QVERIFY(m_browser->ExecWB(DocumentView::Zoom, DocumentView::DoDefault, level));
        if (level == 0)
            QTRY_VERIFY_WITH_TIMEOUT(textHeight() < normal, engineTimeout);
        else
            QTRY_VERIFY_WITH_TIMEOUT(textHeight() > previous, engineTimeout);
        const QVariantList sizes = measure();
        previous = sizes.value(0).toDouble();
        if (level == 2)
            QCOMPARE(previous, normal);
        QCOMPARE(sizes.value(1).toDouble(), 40.0);
        QCOMPARE(sizes.value(2).toDouble(), 30.0);
    }
    QCOMPARE(m_browser->textSize(), 4);
}

void TestWebBrowser::printToPdfFileKeepsTheText()
{
    const Book book = readBook();
    QVERIFY(!book.lines.isEmpty());
    QVERIFY(loadBook());
    bool selectionOffered = true;
    whenShown<QPrintDialog>(m_browser.get(), [&selectionOffered](QPrintDialog *dialog) {
        auto *selection = dialog->findChild<QRadioButton *>(QStringLiteral("printSelection"));
        selectionOffered = selection && !selection->isHidden() && selection->isEnabled();
        dialog->reject();
    });
    QVERIFY(!m_browser->ExecWB(DocumentView::Print, DocumentView::PromptUser));
    QVERIFY2(!selectionOffered, "nothing is selected");

    const QString pdf = printToPdf();
    QVERIFY(!pdf.isEmpty());

    const QString text = normalized(runTool(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") }));
    QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) missing or found no text");
    QVERIFY2(text.contains(book.title), qPrintable(text.left(200)));
    for (const QString &line : book.lines)
        QVERIFY2(text.contains(line), qPrintable(line));
}

void TestWebBrowser::cancelledPrintPrintsNothing()
{
    QVERIFY(loadBook());
    QSignalSpy printed(m_browser.get(), &WebBrowser::printingFinished);
    const QString cancelled = m_dir->filePath(QStringLiteral("cancelled.pdf"));
    whenShown<QPrintDialog>(m_browser.get(), [cancelled](QPrintDialog *dialog) {
        if (auto *fileName = dialog->findChild<QLineEdit *>(QStringLiteral("filename")))
            fileName->setText(cancelled);
        dialog->reject();
    });
    QVERIFY(!m_browser->ExecWB(DocumentView::Print, DocumentView::PromptUser));

    // A job started by the cancelled dialog would still be running and refuse this one, or
    // would report a second time.
    QVERIFY(!printToPdf().isEmpty());
    QCOMPARE(printed.count(), 1);
    QVERIFY(!QFile::exists(cancelled));
}

void TestWebBrowser::printSelectionPrintsOnlyTheSelection()
{
    QVERIFY(load(dataAddress(QStringLiteral("<p id=chosen>Printed paragraph alpha</p>"
                                            "<p>Unprinted paragraph beta</p>"))));
    evaluate(m_browser->webPage(), QStringLiteral(
            "const range = document.createRange();"
            "range.selectNodeContents(document.getElementById('chosen'));"
            "getSelection().removeAllRanges(); getSelection().addRange(range);"));
    QTRY_VERIFY_WITH_TIMEOUT(m_browser->webPage()->hasSelection(), engineTimeout);

    const QString pdf = printToPdf({ .selectionOnly = true });
    QVERIFY(!pdf.isEmpty());
    const QString text = normalized(runTool(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") }));
    QCOMPARE(text, QStringLiteral("Printed paragraph alpha"));
}

void TestWebBrowser::printPageRangePrintsThosePages()
{
    QVERIFY(loadBook());
    const QString all = printToPdf();
    QVERIFY(!all.isEmpty());
    const int pages = pdfPageCount(all);
    QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
    const QStringList allPages = runTool(QStringLiteral("pdftotext"), { all, QStringLiteral("-") }).split(u'\f');

    const QString some = printToPdf({ .fromPage = 2, .toPage = 3 });
    QVERIFY(!some.isEmpty());
    QCOMPARE(pdfPageCount(some), 2);
    const QStringList somePages = runTool(QStringLiteral("pdftotext"), { some, QStringLiteral("-") }).split(u'\f');
    QCOMPARE(normalized(somePages.value(0)), normalized(allPages.value(1)));
    QCOMPARE(normalized(somePages.value(1)), normalized(allPages.value(2)));
}

void TestWebBrowser::previewShowsThePagesThatPrint()
{
    QVERIFY(loadBook());
    int previewPages = 0;
    whenShown<QPrintPreviewDialog>(m_browser.get(), [&previewPages](QPrintPreviewDialog *dialog) {
        auto *pages = dialog->findChild<QPrintPreviewWidget *>();
        if (QTest::qWaitFor([pages] { return pages->pageCount() > 0; }, engineTimeout))
            previewPages = pages->pageCount();
        dialog->reject();
    });
    QVERIFY(m_browser->ExecWB(DocumentView::PrintPreview, DocumentView::PromptUser));
    QVERIFY2(previewPages > 1, qPrintable(QString::number(previewPages)));

    const QString pdf = printToPdf();
    QVERIFY(!pdf.isEmpty());
    QCOMPARE(pdfPageCount(pdf), previewPages);
}

void TestWebBrowser::previewPrintsToPdfFile()
{
    QVERIFY(loadBook());
    const QString path = m_dir->filePath(QStringLiteral("from-preview.pdf"));
    whenShown<QPrintPreviewDialog>(m_browser.get(), [path](QPrintPreviewDialog *dialog) {
        auto *pages = dialog->findChild<QPrintPreviewWidget *>();
        QAction *print = nullptr;
        for (QAction *action : dialog->findChildren<QAction *>())
            if (action->text().remove(u'&') == QLatin1String("Print"))
                print = action;
        if (!print || !QTest::qWaitFor([&] { return pages->pageCount() > 0 && dialog->isEnabled(); }, engineTimeout)) {
            dialog->reject();
            return;
        }
        // With no printer installed the preview prints to a PDF file and asks for its name;
        // with one, it asks through the print dialog.
        whenShown<QFileDialog>(dialog, [path](QFileDialog *files) {
            files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
            QMetaObject::invokeMethod(files, "accept");
        });
        whenShown<QPrintDialog>(dialog, [path](QPrintDialog *printDialog) { printToFile(printDialog, path, {}); });
        print->trigger();
    });
    QVERIFY(m_browser->ExecWB(DocumentView::PrintPreview, DocumentView::PromptUser));
    QVERIFY(QFile::exists(path));
    QVERIFY(pdfPageCount(path) > 1);
    const Book book = readBook();
    QVERIFY(normalized(runTool(QStringLiteral("pdftotext"), { path, QStringLiteral("-") })).contains(book.title));
}

void TestWebBrowser::selectAllThenCopyTakesTheBook()
{
    const Book book = readBook();
    QVERIFY(!book.lines.isEmpty());
    QVERIFY(loadBook());
    QGuiApplication::clipboard()->clear();

    QVERIFY(m_browser->ExecWB(DocumentView::SelectAll, DocumentView::DontPromptUser));
    QTRY_VERIFY_WITH_TIMEOUT(m_browser->webPage()->hasSelection(), engineTimeout);
    QVERIFY(m_browser->ExecWB(DocumentView::Copy, DocumentView::DontPromptUser));

    QTRY_VERIFY_WITH_TIMEOUT(!QGuiApplication::clipboard()->text().isEmpty(), engineTimeout);
    const QString copied = normalized(QGuiApplication::clipboard()->text());
    QVERIFY(copied.startsWith(book.title));
    for (const QString &line : book.lines)
        QVERIFY2(copied.contains(line), qPrintable(line));
}

void TestWebBrowser::findCommandOpensOneFindDialog()
{
    QVERIFY(load(dataAddress(QStringLiteral("<p>Something to look for.</p>"))));
    // As the program's Find command does it: focus, then Ctrl+F to whichever widget has it.
    const auto findCommand = [this] {
        m_browser->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_browser.get()));
        QVERIFY(m_browser->SetFocus());
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QVERIFY(focus == m_browser->webView() || m_browser->webView()->isAncestorOf(focus));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier, QStringLiteral("\x06"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_F, Qt::ControlModifier, QStringLiteral("\x06"));
        QApplication::sendEvent(focus, &press);
        QApplication::sendEvent(focus, &release);
    };

    QVERIFY(!m_browser->findDialog());
    findCommand();
    if (QTest::currentTestFailed())
        return;
    QPointer<FindDialog> first = m_browser->findDialog();
    QVERIFY(first);
    QVERIFY(first->isVisible());

    findCommand();
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(m_browser->findDialog(), first.data());
    QVERIFY(first->isVisible());
    QCOMPARE(m_browser->findChildren<FindDialog *>().size(), 1);

    m_browser->webView()->hide();
    QVERIFY(!m_browser->SetFocus());
}

AMBERVALE_TEST_MAIN(TestWebBrowser)
#include "tst_webbrowser.moc"
