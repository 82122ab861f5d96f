#ifndef DIALOG_H
#define DIALOG_H

#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>

class Launcher;
class QLabel;

// The About box: a fixed layout, a banner that opens the maker's web site and an OK button.
// It is a tool window so that it stays out of the taskbar, and it deletes itself when closed.
class Dialog : public QWidget
{
    Q_OBJECT

public:
    // Where the client area's top-left corner goes on the screen, in twips.
    static constexpr QPoint storedPlace{4890, 1395};

    Dialog(Launcher &launcher, std::function<void(const QString &)> runtimeError);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void image1Click();
    void okButtonClick();

    Launcher &m_launcher;
    std::function<void(const QString &)> m_runtimeError;
    QLabel *m_image1 = nullptr;
};

#endif // DIALOG_H
