#ifndef STARTPAGE_H
#define STARTPAGE_H

#include <QString>

// The res: address of the book inside the running executable: "res://", the executable's
// directory, "\", its file name without the extension, ".exe/d.htm". Built by plain
// concatenation: nothing is escaped or converted, so the view must take the address as text
// (ResScheme::toUrl).
class StartPage
{
public:
    // executablePath: the full path as the platform gives it, with "/" separators
    // (QCoreApplication::applicationFilePath()). An empty path gives an empty address.
    static QString address(const QString &executablePath);
};

#endif // STARTPAGE_H
