#ifndef RESSCHEME_H
#define RESSCHEME_H

#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

// The res: scheme, through which the view reads an HTML resource out of an executable file:
// res://<path of the file>/<resource name>, the path with "\" or "/" between its parts.
// The resource of type 23 (HTML) with that name is shown as ISO-8859-1 text; whatever cannot
// be found gives a short page that says why.
class ResScheme : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // Must run before the application object is created.
    static void registerScheme();

    // A res: address is text (StartPage::address), whose path may hold "#", "?", "%" and
    // spaces; this keeps every character of it in the URL's path. Other addresses are taken
    // as URLs as they stand.
    static QUrl toUrl(const QString &rawAddress);

    struct Location
    {
        QStringList filePaths; // to try in this order
        QString resourceName; // empty when the address names none
    };
    // The file and the resource a res: URL names, as the handler reads it.
    static Location locate(const QUrl &url);

    void requestStarted(QWebEngineUrlRequestJob *job) override;
};

#endif // RESSCHEME_H
