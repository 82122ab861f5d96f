#include "printhandler.h"

#include <QEventLoop>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWebEnginePage>
#include <QWebEngineView>

// The engine prints to a device by drawing each page as one picture. At 600 dpi text is sharp
// on paper; the preview keeps every page in memory, where 300 dpi is as sharp as it can show
// (a page at 1200 dpi would take half a gigabyte).
static constexpr int printResolution = 600;
static constexpr int previewResolution = 300;

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
    if (promptUser) {
        QPrintDialog dialog(printer.get(), m_view);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                          | QAbstractPrintDialog::PrintShowPageSize
                          | QAbstractPrintDialog::PrintCollateCopies);
        m_inPreview = true;
        const bool accepted = dialog.exec() == QDialog::Accepted;
        m_inPreview = false;
        if (!accepted)
            return false;
    } else if (printer->outputFormat() != QPrinter::NativeFormat && !printsToPdfFile(*printer)) {
        return false; // no printer to print to without asking
    }
    start(std::move(printer));
    return true;
}

void PrintHandler::start(std::unique_ptr<QPrinter> printer)
{
    m_printer = std::move(printer);
    if (printsToPdfFile(*m_printer)) {
        connect(m_view->page(), &QWebEnginePage::pdfPrintingFinished, this,
                [this](const QString &, bool success) { finish(success); },
                Qt::SingleShotConnection);
        m_view->page()->printToPdf(m_printer->outputFileName(), m_printer->pageLayout(),
                                   chosenPages(*m_printer));
    } else {
        m_printer->setResolution(printResolution);
        connect(m_view, &QWebEngineView::printFinished, this,
                [this](bool success) { finish(success); }, Qt::SingleShotConnection);
        m_view->print(m_printer.get());
    }
}

void PrintHandler::finish(bool success)
{
    // The engine may still hold the printer while it reports: let it go first.
    QMetaObject::invokeMethod(
            this,
            [this, success] {
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
    QPrintPreviewDialog preview(&printer, m_view);
    preview.resize(m_view->window()->size().expandedTo(QSize(800, 600)));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &PrintHandler::paintPreview);
    m_inPreview = true;
    preview.exec();
    m_inPreview = false;
    return true;
}

void PrintHandler::paintPreview(QPrinter *printer)
{
    // The preview asks again (a new page setup, a zoom) while the engine is still busy with
    // the last request; the engine takes one job at a time.
    if (m_painting)
        return;
    m_painting = true;
    QEventLoop loop;
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
    m_painting = false;
}
