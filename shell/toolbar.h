#ifndef TOOLBAR_H
#define TOOLBAR_H

#include <QList>
#include <QString>
#include <QWidget>

class ImageList;
class QToolBar;
class QToolButton;

// What a click hands to the handler: its own copy of the clicked button, so the index reads
// the same however often it is read, even after the window that held the toolbar has closed.
class ToolbarButton
{
public:
    explicit ToolbarButton(qint16 index = 0) : m_index(index) { }
    qint16 Index() const { return m_index; }

private:
    qint16 m_index;
};

struct ToolbarEntry
{
    enum Style { PushButton = 0, Separator = 3 };

    Style style = PushButton;
    QString caption;
    int picture = 0; // in the image list, from 1; none for a separator
};

class Toolbar : public QWidget
{
    Q_OBJECT

public:
    Toolbar(const ImageList &images, const QList<ToolbarEntry> &buttons, QWidget *parent = nullptr);

    int buttonCount() const { return int(m_buttons.size()); }
    // The push button at a 1-based index, separators counted; null for a separator.
    QToolButton *button(int index) const;
    ToolbarEntry entry(int index) const { return m_entries.value(index - 1); }
    QSize sizeHint() const override;

Q_SIGNALS:
    void ButtonClick(ToolbarButton button);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolBar *m_bar = nullptr;
    QList<ToolbarEntry> m_entries;
    QList<QToolButton *> m_buttons;
};

Q_DECLARE_METATYPE(ToolbarButton)

#endif // TOOLBAR_H
