#ifndef RESOURCEREADER_H
#define RESOURCEREADER_H

#include <QByteArray>
#include <QString>

class QIODevice;

// Reads one entry of the resource table that the build places into an executable's .rsrc
// section (64-bit little-endian ELF). Only the ranges needed are read, every offset and size
// is checked against the section and the file, and anything malformed gives a reason.
class ResourceReader
{
public:
    enum Type : quint32 { Icon = 14, Version = 16, Html = 23 };

    struct Resource
    {
        bool found = false;
        QByteArray data;
        quint32 language = 0;
        // Why nothing was found; empty when found.
        QString reason;
    };

    // The first entry of the given type whose name matches, ASCII letters compared
    // without regard to case.
    static Resource read(const QString &filePath, quint32 type, const QString &name);
    // The device must be open for reading and random access; it is read from its start.
    static Resource read(QIODevice *device, quint32 type, const QString &name);
    static Resource read(const QByteArray &fileBytes, quint32 type, const QString &name);
};

#endif // RESOURCEREADER_H
