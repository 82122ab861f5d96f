#include "splash.h"

#include "form1.h"
#include "guard.h"
#include "platform.h"
#include "systemcolors.h"
#include "twips.h"

#include <QPainter>
#include <QTimer>

Splash::Splash(Platform &platform)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_platform(platform)
    , m_picture(QStringLiteral(":/splash.gif"))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("Splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(Twips::toPixels(3675), Twips::toPixels(3165), Twips::toPixels(5460), Twips::toPixels(1950));
    setFocusPolicy(Qt::NoFocus);

    // The period starts with the window, before it is first painted.
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &Splash::Timer1_Timer);
    m_timer->start(interval);
}

void Splash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), SystemColors::inactiveCaption());
    // Natural size from the top-left corner: what lies beyond the window is cut off.
    painter.drawPixmap(0, 0, m_picture);
}

void Splash::Timer1_Timer()
{
    unguarded([this](const QString &message) { m_platform.runtimeError(message); }, [this] {
        m_timer->stop();
        close();
        (new Form1(m_platform))->show();
    });
}
