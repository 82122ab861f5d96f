#include "lifetime.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

static bool isProgramWindow(const QWidget *widget)
{
    if (!widget->isWindow() || widget->parentWidget())
        return false;
    switch (widget->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::Desktop:
        return false;
    default:
        return true;
    }
}

Lifetime::Lifetime(QObject *parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

Lifetime::~Lifetime()
{
    qApp->removeEventFilter(this);
}

bool Lifetime::anyWindowOpen()
{
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *window) {
        return isProgramWindow(window) && window->isVisible();
    });
}

bool Lifetime::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if ((type == QEvent::Hide || type == QEvent::Close) && watched->isWidgetType()
        && isProgramWindow(static_cast<QWidget *>(watched)) && !m_checkPending) {
        m_checkPending = true;
        QMetaObject::invokeMethod(this, &Lifetime::check, Qt::QueuedConnection);
    }
    return false;
}

void Lifetime::check()
{
    m_checkPending = false;
    if (!anyWindowOpen())
        Q_EMIT ended();
}
