#ifndef FONTSIZE_H
#define FONTSIZE_H

#include <QList>
#include <QObject>

class Form1;
class MenuItem;

// Options > Font Size: one mark on the last choice; the size itself lives in the view.
class FontSize : public QObject
{
    Q_OBJECT

public:
    FontSize(Form1 &form, const QList<MenuItem *> &items, QObject *parent = nullptr);

    void mnuFontSize_Click(qint16 index);

private:
    Form1 &m_form;
    QList<MenuItem *> m_items;
};

#endif // FONTSIZE_H
