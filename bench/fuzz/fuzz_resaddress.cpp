// The res: address on its way from text to the scheme handler: StartPage::address builds the
// text from the executable's path, ResScheme::toUrl turns it into the URL the view loads, and
// the handler takes the URL apart again. The input is taken as UTF-8 text, both as an
// executable's path and as an address typed by hand.
//
// addressInUrl reads the text back as a whole, so that what toUrl promises (every character of
// the address survives) is checked; ResScheme::locate, the handler's own reading, must then
// find the executable the start page address was built from.

#include "view/resscheme.h"
#include "view/startpage.h"

#include <QDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString Prefix = QStringLiteral("res:");

[[noreturn]] void fail(const char *what, const QString &address, const QUrl &url, const QString &seen = {})
{
    std::fprintf(stderr, "res: address: %s\n  address: \"%s\"\n  url:     \"%s\" (%s)\n  seen:    \"%s\"\n",
                 what, qPrintable(address), url.toEncoded().constData(),
                 url.isValid() ? "valid" : qPrintable(url.errorString()), qPrintable(seen));
    std::abort();
}

// The text after "res:" as the handler reads it from the URL.
QString addressInUrl(const QUrl &url)
{
    return QUrl::fromPercentEncoding(url.toString(QUrl::RemoveScheme | QUrl::RemoveQuery | QUrl::RemoveFragment
                                                  | QUrl::FullyEncoded)
                                             .toLatin1());
}

void checkRoundTrip(const QString &address)
{
    const QUrl url = ResScheme::toUrl(address);
    if (!url.isValid())
        fail("the URL is not valid", address, url);
    if (url.scheme() != QStringLiteral("res"))
        fail("the URL lost its scheme", address, url);
    if (url.hasQuery() || url.hasFragment())
        fail("part of the address became a query or a fragment", address, url);
    const QString seen = addressInUrl(url);
    if (seen != address.mid(Prefix.size()))
        fail("the handler would not see the address as written", address, url, seen);
    // What the view loads is the URL's encoded form; reading that back must give the same URL.
    if (QUrl::fromEncoded(url.toEncoded(), QUrl::StrictMode) != url)
        fail("the URL does not survive its encoded form", address, url);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    // Whatever the text, toUrl must cope; only res: addresses carry promises.
    const QUrl asGiven = ResScheme::toUrl(text);
    if (text.startsWith(Prefix, Qt::CaseInsensitive))
        checkRoundTrip(text);
    else
        (void)asGiven.toEncoded();

    // As the platform gives an executable's path: absolute, "/" between its parts.
    if (text.startsWith(u'/')) {
        const QString address = StartPage::address(text);
        const qsizetype slash = text.lastIndexOf(u'/');
        const QString fileName = text.mid(slash + 1);
        const qsizetype dot = fileName.lastIndexOf(u'.');
        const QString expected = QStringLiteral("res://") + (slash == 0 ? QStringLiteral("/") : text.left(slash))
                + u'\\' + (dot > 0 ? fileName.left(dot) : fileName) + QStringLiteral(".exe/d.htm");
        if (address != expected)
            fail("the start page address is not the concatenation", text, QUrl(), address);
        checkRoundTrip(address);
        // A backslash inside the file's own name is beyond what the address can tell apart.
        if (!fileName.contains(u'\\')) {
            const ResScheme::Location location = ResScheme::locate(ResScheme::toUrl(address));
            const QString file = QDir::cleanPath((slash == 0 ? QString() : text.left(slash)) + u'/'
                                                 + (dot > 0 ? fileName.left(dot) : fileName) + QStringLiteral(".exe"));
            if (location.resourceName != QStringLiteral("d.htm") || location.filePaths.value(0) != file)
                fail("the handler would look for another file", address, ResScheme::toUrl(address),
                     location.filePaths.join(QStringLiteral(" | ")) + QStringLiteral(" / ") + location.resourceName);
        }
    }
    return 0;
}
