#ifndef PRINTHANDLER_H
#define PRINTHANDLER_H

#include <QObject>

#include <memory>

class QPrinter;
class QWidget;
class QWebEngineView;

// Printing and print preview of what a web view shows, through the toolkit's own dialogs.
// A PDF file gets the engine's PDF, which keeps the text as text; a printer gets the pages
// as pictures at a high resolution, the only way the engine prints to a device.
class PrintHandler : public QObject
{
    Q_OBJECT

public:
    explicit PrintHandler(QWebEngineView *view, QObject *parent = nullptr);
    ~PrintHandler() override;

    // False when a job or a dialog is still open, when the user cancels, or when there is
    // no printer to print to without asking.
    bool print(bool promptUser);
    bool printPreview();
    bool isBusy() const { return m_printer || m_inDialog; }

signals:
    // The end of a job started by print(), once the output is complete.
    void printingFinished(bool success);

private:
    void start(std::unique_ptr<QPrinter> printer);
    void printFrom(QWebEngineView *view);
    void printSelection();
    void finish(bool success);
    void paintPreview(QPrinter *printer, QWidget *preview);

    QWebEngineView *m_view = nullptr;
    // Both must live until the engine has finished with them.
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QWebEngineView> m_selectionView;
    bool m_inDialog = false;
    bool m_painting = false;
};

#endif // PRINTHANDLER_H
