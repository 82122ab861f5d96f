#ifndef SPLASH_H
#define SPLASH_H

#include <QPixmap>
#include <QWidget>

class Platform;
class QTimer;

class Splash : public QWidget
{
    Q_OBJECT

public:
    static constexpr int interval = 3000;

    explicit Splash(Platform &platform);

    QTimer *Timer1() const { return m_timer; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Timer1_Timer();

    Platform &m_platform;
    QPixmap m_picture;
    QTimer *m_timer = nullptr;
};

#endif // SPLASH_H
