#ifndef IMAGELIST_H
#define IMAGELIST_H

#include <QIcon>
#include <QList>
#include <QObject>

// The toolbar's pictures, numbered from 1. Never shown by itself.
class ImageList : public QObject
{
    Q_OBJECT

public:
    static constexpr int pictureSize = 32;

    explicit ImageList(QObject *parent = nullptr);

    int count() const { return int(m_pictures.size()); }
    // An empty icon for a number outside the list.
    QIcon picture(int number) const;

private:
    QList<QIcon> m_pictures;
};

#endif // IMAGELIST_H
