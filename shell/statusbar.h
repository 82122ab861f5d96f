#ifndef STATUSBAR_H
#define STATUSBAR_H

#include <QStatusBar>

class QLabel;

class StatusPanel
{
public:
    explicit StatusPanel(QLabel *label) : m_label(label) { }
    QString Text() const;
    void setText(const QString &text);

private:
    QLabel *m_label;
};

// The faith bar: one panel, item 1, whose text may be set while the bar is hidden.
class StatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget *parent = nullptr);

    // Item 1 only; any other index fails.
    StatusPanel &Panels(qint16 index);

private:
    QLabel *m_label = nullptr;
    StatusPanel m_panel;
};

#endif // STATUSBAR_H
