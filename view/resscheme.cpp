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
std::optional<QString> existingFile(const QString &path, QString &reason)
{
    if (QFileInfo(path).isFile())
        return path;
    if (path.endsWith(ExeSuffix)) {
        const QString withoutSuffix = path.chopped(ExeSuffix.size());
        if (QFileInfo(withoutSuffix).isFile())
            return withoutSuffix;
        reason = QStringLiteral("There is no file %1, nor %2.").arg(path, withoutSuffix);
    } else {
        reason = QStringLiteral("There is no file %1.").arg(path);
    }
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
    const QByteArray path = rawAddress.mid(prefix.size()).toUtf8().toPercentEncoding("/");
    return QUrl::fromEncoded(prefix.toLatin1() + path, QUrl::StrictMode);
}

void ResScheme::requestStarted(QWebEngineUrlRequestJob *job)
{
    // Everything after "res:" up to a query or fragment, decoded again: a "#", "?" or "%"
    // of the file's path came percent-encoded (toUrl).
    const QUrl url = job->requestUrl();
    QString address = QUrl::fromPercentEncoding(
            url.toString(QUrl::RemoveScheme | QUrl::RemoveQuery | QUrl::RemoveFragment
                         | QUrl::FullyEncoded).toLatin1());
    if (address.startsWith(u"//"))
        address.remove(0, 2);

    const qsizetype slash = address.lastIndexOf(u'/');
    const QString name = slash < 0 ? QString() : address.mid(slash + 1);
    if (name.isEmpty()) {
        replyWith(job, "text/html;charset=utf-8",
                  notFoundPage(QStringLiteral("The address names no resource.")));
        return;
    }
    QString path = address.left(slash);
    path = QDir::cleanPath(path.replace(u'\\', u'/'));

    QString reason;
    const std::optional<QString> file = existingFile(path, reason);
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
