#include "toolbar.h"

#include "imagelist.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

Toolbar::Toolbar(const ImageList &images, const QList<ToolbarEntry> &buttons, QWidget *parent)
    : QWidget(parent)
    , m_bar(new QToolBar(this))
    , m_entries(buttons)
{
    setObjectName(QStringLiteral("Toolbar1"));
    setAccessibleName(tr("Toolbar"));
    m_bar->setMovable(false);
    m_bar->setFloatable(false);
    m_bar->setIconSize(QSize(ImageList::pictureSize, ImageList::pictureSize));
    m_bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const ToolbarEntry &entry = buttons.at(i);
        if (entry.style == ToolbarEntry::Separator) {
            m_bar->addSeparator();
            m_buttons.append(nullptr);
            continue;
        }
        QAction *action = m_bar->addAction(images.picture(entry.picture), entry.caption);
        const auto index = qint16(i + 1);
        connect(action, &QAction::triggered, this, [this, index] { Q_EMIT ButtonClick(ToolbarButton(index)); });
        auto *button = qobject_cast<QToolButton *>(m_bar->widgetForAction(action));
        if (button) {
            button->setAccessibleName(entry.caption);
            // Reachable with the keyboard alone, one Tab stop per button.
            button->setFocusPolicy(Qt::TabFocus);
        }
        m_buttons.append(button);
    }
    setFocusPolicy(Qt::TabFocus);
    if (QToolButton *first = button(1))
        setFocusProxy(first);
}

QToolButton *Toolbar::button(int index) const
{
    return m_buttons.value(index - 1);
}

QSize Toolbar::sizeHint() const
{
    return m_bar->sizeHint();
}

void Toolbar::resizeEvent(QResizeEvent *)
{
    m_bar->setGeometry(rect());
}
