#include "resscheme.h"

#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

void ResScheme::registerScheme()
{
    QWebEngineUrlScheme scheme("res");
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void ResScheme::requestStarted(QWebEngineUrlRequestJob *job)
{
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}
