#include "imagelist.h"

#include <QBitmap>
#include <QPixmap>

ImageList::ImageList(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("ImageList1"));
    // The pictures are drawn on the mask colour; whatever shows it is transparent.
    const QColor mask(192, 192, 192);
    for (int number = 1; number <= 9; ++number) {
        QPixmap pixmap(QStringLiteral(":/toolbar/picture%1.ico").arg(number));
        if (!pixmap.isNull()) {
            pixmap = pixmap.scaled(pictureSize, pictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            pixmap.setMask(pixmap.createMaskFromColor(mask, Qt::MaskInColor));
        }
        m_pictures.append(QIcon(pixmap));
    }
}

QIcon ImageList::picture(int number) const
{
    if (number < 1 || number > count())
        return {};
    return m_pictures.at(number - 1);
}
