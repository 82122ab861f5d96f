#include "printhandler.h"

#include <QEventLoop>
#include <QPaintEngine>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

// The engine prints to a device by drawing each page as one picture. At 600 dpi text is sharp
// on paper; the preview keeps every page in memory, where 300 dpi is as sharp as it can show
// (a page at 1200 dpi would take half a gigabyte).
static constexpr int printResolution = 600;
static constexpr int previewResolution = 300;

// The selected part of the document as markup; partly selected elements come with their
// attributes, so the selection keeps its colours and sizes.
static const char selectionScript[] = R"(
(() => {
    const selection = window.getSelection();
    const holder = document.createElement('div');
    for (let i = 0; i < selection.rangeCount; ++i)
        holder.appendChild(selection.getRangeAt(i).cloneContents());
    return holder.innerHTML;
})()
)";

static bool printsToPdfFile(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

static QPageRanges chosenPages(const QPrinter &printer)
{
    return printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
}

// While the preview draws, the printer paints into pictures instead of its device.
static bool isPreviewing(QPrinter &printer)
{
    const QPaintEngine *engine = printer.paintEngine();
    return engine && engine->type() == QPaintEngine::Picture;
}

PrintHandler::PrintHandler(QWebEngineView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
{
}

PrintHandler::~PrintHandler() = default;

bool PrintHandler::print(bool promptUser)
{
    if (isBusy())
        return false;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(m_view->page()->title());
    if (promptUser) {
        QPrintDialog dialog(printer.get(), m_view);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                          | QAbstractPrintDialog::PrintShowPageSize
                          | QAbstractPrintDialog::PrintCollateCopies);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, m_view->page()->hasSelection());
        m_inDialog = true;
        const bool accepted = dialog.exec() == QDialog::Accepted;
        m_inDialog = false;
        if (!accepted)
            return false;
    } else if (printer->outputFormat() != QPrinter::NativeFormat && !printsToPdfFile(*printer)) {
        return false;
    }
    start(std::move(printer));
    return true;
}

void PrintHandler::start(std::unique_ptr<QPrinter> printer)
{
    m_printer = std::move(printer);
    if (m_printer->printRange() == QPrinter::Selection)
        printSelection();
    else
        printFrom(m_view);
}

void PrintHandler::printFrom(QWebEngineView *view)
{
    // A navigation drops the job without an answer; the handler must not stay busy for good.
    connect(view->page(), &QWebEnginePage::loadStarted, this, [this] {
        if (m_printer)
            finish(false);
    }, Qt::SingleShotConnection);
    if (printsToPdfFile(*m_printer)) {
        connect(view->page(), &QWebEnginePage::pdfPrintingFinished, this,
                [this](const QString &, bool success) { finish(success); },
                Qt::SingleShotConnection);
        view->page()->printToPdf(m_printer->outputFileName(), m_printer->pageLayout(),
                                 chosenPages(*m_printer));
    } else {
        m_printer->setResolution(printResolution);
        connect(view, &QWebEngineView::printFinished, this,
                [this](bool success) { finish(success); }, Qt::SingleShotConnection);
        view->print(m_printer.get());
    }
}

// The engine prints whole documents only: the selection becomes a document of its own, in a
// view that is never shown, with the same profile, address and text size.
void PrintHandler::printSelection()
{
    QPointer<QWebEnginePage> source = m_view->page();
    QPointer<PrintHandler> self(this);
    source->runJavaScript(QString::fromLatin1(selectionScript), [self, source](const QVariant &html) {
        if (!self)
            return;
        if (!source) {
            self->finish(false);
            return;
        }
        self->m_selectionView = std::make_unique<QWebEngineView>();
        auto *page = new QWebEnginePage(source->profile(), self->m_selectionView.get());
        self->m_selectionView->setPage(page);
        for (auto size : { QWebEngineSettings::DefaultFontSize, QWebEngineSettings::DefaultFixedFontSize })
            page->settings()->setFontSize(size, source->settings()->fontSize(size));
        connect(page, &QWebEnginePage::loadFinished, self, [self](bool ok) {
            if (ok)
                self->printFrom(self->m_selectionView.get());
            else
                self->finish(false);
        }, Qt::SingleShotConnection);
        page->setHtml(html.toString(), source->url());
    });
}

void PrintHandler::finish(bool success)
{
    // The engine may still hold the printer while it reports: let it go first.
    QMetaObject::invokeMethod(
            this,
            [this, success] {
                m_selectionView.reset();
                m_printer.reset();
                emit printingFinished(success);
            },
            Qt::QueuedConnection);
}

bool PrintHandler::printPreview()
{
    if (isBusy())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(previewResolution);
    printer.setDocName(m_view->page()->title());
    QPrintPreviewDialog preview(&printer, m_view);
    preview.resize(m_view->window()->size().expandedTo(QSize(800, 600)));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, &preview](QPrinter *printer) { paintPreview(printer, &preview); });
    m_inDialog = true;
    preview.exec();
    m_inDialog = false;
    return true;
}

void PrintHandler::paintPreview(QPrinter *printer, QWidget *preview)
{
    // The engine paints later, from its own loop: a new page setup asked for meanwhile would
    // take the printer out of preview mode under it, and the pages would go to the device.
    // So nothing in the preview can be changed until the pages are drawn, and a request
    // that comes in anyway is dropped.
    if (m_painting)
        return;
    m_painting = true;
    preview->setEnabled(false);
    QEventLoop loop;
    // A navigation or a lost renderer ends the engine's work on the pages without an answer.
    connect(m_view->page(), &QWebEnginePage::loadStarted, &loop, &QEventLoop::quit);
    connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, &loop, &QEventLoop::quit);
    if (printsToPdfFile(*printer)) {
        connect(m_view->page(), &QWebEnginePage::pdfPrintingFinished, &loop, &QEventLoop::quit);
        m_view->page()->printToPdf(printer->outputFileName(), printer->pageLayout(),
                                   chosenPages(*printer));
        loop.exec();
    } else {
        // Either drawing the preview's pages or printing from the preview to a printer.
        const bool toPaper = !isPreviewing(*printer);
        if (toPaper)
            printer->setResolution(printResolution);
        connect(m_view, &QWebEngineView::printFinished, &loop, &QEventLoop::quit);
        m_view->print(printer);
        loop.exec();
        if (toPaper)
            printer->setResolution(previewResolution);
    }
    preview->setEnabled(true);
    m_painting = false;
}
