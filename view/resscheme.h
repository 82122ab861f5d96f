#ifndef RESSCHEME_H
#define RESSCHEME_H

#include <QWebEngineUrlSchemeHandler>

// The res: scheme, through which the view reads an HTML resource out of an executable file.
class ResScheme : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // Must run before the application object is created.
    static void registerScheme();

    void requestStarted(QWebEngineUrlRequestJob *job) override;
};

#endif // RESSCHEME_H
