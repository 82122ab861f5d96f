#include "startpage.h"

QString StartPage::address(const QString &executablePath)
{
    if (executablePath.isEmpty())
        return {};

    const qsizetype slash = executablePath.lastIndexOf(u'/');
    // The root directory is the one directory given with its separator.
    const QString directory = slash < 0 ? QStringLiteral(".")
                            : slash == 0 ? QStringLiteral("/")
                                         : executablePath.left(slash);
    const QString fileName = executablePath.mid(slash + 1);
    // A leading dot marks a hidden file, not an extension.
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString baseName = dot > 0 ? fileName.left(dot) : fileName;

    return QStringLiteral("res://") + directory + u'\\' + baseName + QStringLiteral(".exe/d.htm");
}
