#include "resscheme.h"

#include "resourcereader.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include <optional>

namespace {

constexpr QLatin1StringView Scheme("res");
constexpr QLatin1StringView ExeSuffix(".exe");

void replyWith(QWebEngineUrlRequestJob *job, const QByteArray &contentType, const QByteArray &bytes)
{
    // The job owns the buffer, so the buffer goes when the engine is done with the job.
    auto *buffer = new QBuffer(job);
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    job->reply(contentType, buffer);
}

QByteArray notFoundPage(const QString &reason)
{
    return QStringLiteral("<!DOCTYPE html>\n<html><head><title>Book not found</title></head>\n"
                          "<body><h1>The book could not be found</h1>\n<p>%1</p></body></html>\n")
            .arg(reason.toHtmlEscaped())
            .toUtf8();
}

// The file the address names. Executables here carry no extension, while the address always
// says ".exe": where "<name>.exe" is missing, "<name>" is read.
std::optional<QString> existingFile(const QStringList &paths, QString &reason)
{
    QStringList tried;
    for (const QString &path : paths) {
        tried.append(path);
        if (QFileInfo(path).isFile())
            return path;
        if (path.endsWith(ExeSuffix)) {
            const QString withoutSuffix = path.chopped(ExeSuffix.size());
            tried.append(withoutSuffix);
            if (QFileInfo(withoutSuffix).isFile())
                return withoutSuffix;
        }
    }
    reason = tried.size() == 1 ? QStringLiteral("There is no file %1.").arg(tried.first())
                               : QStringLiteral("There is no file %1, nor %2.")
                                         .arg(tried.first(), tried.mid(1).join(QLatin1String(", nor ")));
    return std::nullopt;
}

} // namespace

void ResScheme::registerScheme()
{
    QWebEngineUrlScheme scheme(QByteArray(Scheme.data(), Scheme.size()));
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Local: pages from the web can neither load nor link res: content.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl ResScheme::toUrl(const QString &rawAddress)
{
    const QString prefix = Scheme + u':';
    if (!rawAddress.startsWith(prefix, Qt::CaseInsensitive))
        return QUrl(rawAddress);
    QByteArray path = rawAddress.mid(prefix.size()).toUtf8().toPercentEncoding("/");
    // A leading "//" would make what follows a host name, and a host loses its case and its
    // backslashes: it is part of the path here.
    if (path.startsWith("//"))
        path.replace(0, 2, "%2F%2F");
    return QUrl::fromEncoded(prefix.toLatin1() + path, QUrl::StrictMode);
}

ResScheme::Location ResScheme::locate(const QUrl &url)
{
    // Everything after "res:" up to a query or fragment, decoded again: a "#", "?" or "%"
    // of the file's path came percent-encoded (toUrl).
    QString address = QUrl::fromPercentEncoding(
            url.toString(QUrl::RemoveScheme | QUrl::RemoveQuery | QUrl::RemoveFragment
                         | QUrl::FullyEncoded).toLatin1());
    if (address.startsWith(u"//"))
        address.remove(0, 2);

    Location location;
    const qsizetype slash = address.lastIndexOf(u'/');
    if (slash < 0)
        return location;
    location.resourceName = address.mid(slash + 1);
    const QString path = address.left(slash);
    // The backslash before the file name is the one the address adds; a directory's own name
    // may hold one too, so that reading comes first, every backslash a separator second.
    const qsizetype last = path.lastIndexOf(u'\\');
    if (last >= 0) {
        QString onlyLast = path;
        onlyLast[last] = u'/';
        location.filePaths.append(QDir::cleanPath(onlyLast));
    }
    QString all = path;
    all.replace(u'\\', u'/');
    if (!location.filePaths.contains(QDir::cleanPath(all)))
        location.filePaths.append(QDir::cleanPath(all));
    return location;
}

void ResScheme::requestStarted(QWebEngineUrlRequestJob *job)
{
    const Location location = locate(job->requestUrl());
    const QString &name = location.resourceName;
    if (name.isEmpty()) {
        replyWith(job, "text/html;charset=utf-8",
                  notFoundPage(QStringLiteral("The address names no resource.")));
        return;
    }

    QString reason;
    const std::optional<QString> file = existingFile(location.filePaths, reason);
    if (!file) {
        replyWith(job, "text/html;charset=utf-8", notFoundPage(reason));
        return;
    }
    const ResourceReader::Resource book = ResourceReader::read(*file, ResourceReader::Html, name);
    if (!book.found) {
        replyWith(job, "text/html;charset=utf-8",
                  notFoundPage(QStringLiteral("%1: %2.").arg(*file, book.reason)));
        return;
    }
    QByteArray bytes = book.data;
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    replyWith(job, "text/html;charset=ISO-8859-1", bytes);
}
