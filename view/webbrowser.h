#ifndef WEBBROWSER_H
#define WEBBROWSER_H

#include "documentview.h"

#include <QPointer>

class FindDialog;
class PrintHandler;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

// The document view over the web engine. Its profile keeps everything in memory: the program
// writes nothing to disk, not even a cache or a cookie.
class WebBrowser : public DocumentView
{
    Q_OBJECT

public:
    // The text size scale of the zoom command, smallest to largest; the middle one is normal.
    static constexpr int textSizePercent[] = { 70, 85, 100, 120, 150 };
    static constexpr int normalTextSize = 2;

    explicit WebBrowser(QWidget *parent = nullptr);
    ~WebBrowser() override;

    bool Navigate(QString &address) override;
    bool Navigate2(QString address) override;
    bool GoBack() override;
    bool GoForward() override;
    bool ExecWB(qint32 command, qint32 option, std::optional<qint32> input = std::nullopt) override;
    bool SetFocus() override;

    // The next Navigate to this address keeps the page already there instead of loading it
    // again: for a view that loaded the book while the splash was up.
    void keepNextNavigation(const QString &address);

    QWebEngineView *webView() const { return m_view; }
    QWebEnginePage *webPage() const { return m_page; }
    // Null until Ctrl+F first opens it.
    FindDialog *findDialog() const;
    int textSize() const { return m_textSize; }

signals:
    void loadFinished(bool ok);
    // A print job has written its last page (or failed).
    void printingFinished(bool success);

private:
    bool load(const QString &address);
    bool hasDocument() const;
    void setTextSize(int level);
    void showFindDialog();

    QWebEngineProfile *m_profile = nullptr;
    QWebEngineView *m_view = nullptr;
    QWebEnginePage *m_page = nullptr;
    PrintHandler *m_printHandler = nullptr;
    QPointer<FindDialog> m_findDialog;
    QString m_keptAddress;
    int m_baseFontSize = 16;
    int m_baseFixedFontSize = 13;
    int m_textSize = normalTextSize;
};

#endif // WEBBROWSER_H
