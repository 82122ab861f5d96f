#ifndef LIFETIME_H
#define LIFETIME_H

#include <QObject>

// The program ends by itself when no window of it remains. The test runs only when no
// handler is running, so a handler that closes one window and opens the next does not end it.
class Lifetime : public QObject
{
    Q_OBJECT

public:
    explicit Lifetime(QObject *parent = nullptr);
    ~Lifetime() override;

    static bool anyWindowOpen();

Q_SIGNALS:
    void ended();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void check();

    bool m_checkPending = false;
};

#endif // LIFETIME_H
