#ifndef PRINTHANDLER_H
#define PRINTHANDLER_H

#include <QObject>

#include <memory>

class QPrinter;
class QWebEngineView;

// Printing and print preview of what a web view shows, through the toolkit's own dialogs.
// A PDF file gets the engine's PDF, which keeps the text as text; a printer gets the pages
// as pictures at the printer's full resolution, the only way the engine prints to a device.
class PrintHandler : public QObject
{
    Q_OBJECT

public:
    explicit PrintHandler(QWebEngineView *view, QObject *parent = nullptr);
    ~PrintHandler() override;

    // False when there is nothing to print, a job is still running or the user cancels.
    bool print(bool promptUser);
    bool printPreview();
    bool isBusy() const { return m_printer || m_inPreview; }

signals:
    // The end of a job started by print(), once the output is complete.
    void printingFinished(bool success);

private:
    void start(std::unique_ptr<QPrinter> printer);
    void finish(bool success);
    void paintPreview(QPrinter *printer);

    QWebEngineView *m_view = nullptr;
    // Must live until the engine has finished with it.
    std::unique_ptr<QPrinter> m_printer;
    bool m_inPreview = false;
    bool m_painting = false;
};

#endif // PRINTHANDLER_H
