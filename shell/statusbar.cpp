#include "statusbar.h"

#include "guard.h"

#include <QLabel>

QString StatusPanel::Text() const
{
    return m_label->text();
}

void StatusPanel::setText(const QString &text)
{
    m_label->setText(text);
    // Assistive technology reads the faith bar through the panel's name.
    m_label->setAccessibleName(text);
}

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent)
    , m_label(new QLabel(this))
    , m_panel(m_label)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setAccessibleName(tr("Faith Bar"));
    m_label->setTextFormat(Qt::PlainText);
    // A Tab stop of its own, so the quotation can be reached and read without a mouse.
    setFocusPolicy(Qt::TabFocus);
    addWidget(m_label, 1);
}

StatusPanel &StatusBar::Panels(qint16 index)
{
    if (index != 1)
        throw StepFailure("Index out of bounds");
    return m_panel;
}
