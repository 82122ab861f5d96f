#include "dialog.h"

#include "launcher.h"
#include "shell/guard.h"
#include "shell/twips.h"
#include "view/makeraddress.h"

#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr QColor lightGrey(224, 224, 224);
constexpr QColor darkBlue(0, 0, 192);

// The top of the pointing finger, where the pointer clicks.
constexpr QPoint handHotSpot(11, 0);

QRect twipsRect(float left, float top, float width, float height)
{
    return QRect(Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width),
                 Twips::toPixels(height));
}

// Sized in pixels from points at 15 twips per pixel, so that the text keeps its place in a
// layout that is given in twips whatever the screen's own dots per inch.
QFont sansSerif(float points)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(Twips::toPixels(points * 20.0f));
    return font;
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QFrame *addFrame(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(geometry);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setAutoFillBackground(true);
    setColour(frame, QPalette::Window, lightGrey);
    return frame;
}

QLabel *addLabel(QWidget *parent, const char *name, const QRect &geometry, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QString introduction()
{
    return QStringLiteral(
        "Palendor has spent the better part of his life writing about faith. What began as a "
        "few handwritten pages passed among friends grew into a ministry that now reaches "
        "readers in many lands, people who have written back to say that a simple word of "
        "encouragement arrived just when they needed it most. His books speak plainly about "
        "trust in God, about prayer, and about the quiet courage it takes to keep believing "
        "when the road ahead is hidden. He writes not as a scholar but as a fellow traveller, "
        "and he asks nothing of his readers except that they read with an open heart. This "
        "electronic edition is offered in that same spirit, so that anyone with a computer may "
        "read it freely. The author has placed this work in the public domain.");
}

QString notice()
{
    return QStringLiteral(
        "This program is freeware. It is provided as it is, and no warranty of any kind is "
        "implied. It is not to be sold for any reason. You are encouraged to copy it and to "
        "give it away freely to friends, family and anyone who may benefit from it. "
        "Copyright (c) Palendor Ministries. We would be glad to hear from you: please write "
        "to us with your comments or questions.");
}

} // namespace

Dialog::Dialog(Launcher &launcher, std::function<void(const QString &)> runtimeError)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_launcher(launcher)
    , m_runtimeError(std::move(runtimeError))
{
    setWindowTitle(QStringLiteral("About Palendor"));
    setWindowIcon(QIcon(QStringLiteral(":/ambervale.ico")));
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window would not count as one of the program's windows; this one must keep the
    // program running after the main window has closed.
    setAttribute(Qt::WA_QuitOnClose);
    setFont(sansSerif(8.0f));
    setAutoFillBackground(true);
    setColour(this, QPalette::Window, lightGrey);
    // setGeometry places the client area, where move would place the frame.
    setGeometry(QRect(QPoint(Twips::toPixels(storedPlace.x()), Twips::toPixels(storedPlace.y())),
                      twipsRect(0, 0, 6720, 4560).size()));
    setFixedSize(size());

    QFrame *frame2 = addFrame(this, "Frame2", twipsRect(120, 2400, 6495, 1455));
    setColour(frame2, QPalette::WindowText, darkBlue);

    QLabel *label4 = addLabel(frame2, "Label4", twipsRect(2760, 120, 855, 255),
                              QStringLiteral("Version 11"));
    const QPalette labelDefaults = QApplication::palette(label4);
    setColour(label4, QPalette::Window, labelDefaults.color(QPalette::Window));
    setColour(label4, QPalette::WindowText, labelDefaults.color(QPalette::WindowText));
    label4->setAutoFillBackground(true);

    QLabel *label3 = addLabel(frame2, "Label3", twipsRect(240, 360, 6135, 1095), notice());
    setColour(label3, QPalette::WindowText, darkBlue);

    QFrame *frame1 = addFrame(this, "Frame1", twipsRect(120, 0, 6495, 2415));

    QLabel *label2 = addLabel(frame1, "Label2", twipsRect(120, 240, 6255, 1935), introduction());
    setColour(label2, QPalette::WindowText, darkBlue);

    auto *okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("OKButton"));
    okButton->setGeometry(twipsRect(5520, 3960, 1095, 495));
    okButton->setAutoDefault(false);
    okButton->setDefault(false);
    setColour(okButton, QPalette::Button, lightGrey);
    connect(okButton, &QPushButton::clicked, this, &Dialog::okButtonClick);

    QLabel *label1 = addLabel(this, "Label1", twipsRect(4440, 2400, 1335, 255),
                              QStringLiteral("Version 11.0.0"));
    QFont label1Font = sansSerif(8.25f);
    label1Font.setWeight(QFont::Bold);
    label1->setFont(label1Font);
    setColour(label1, QPalette::WindowText, darkBlue);

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(twipsRect(120, 3960, 4500, 465));
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image1->setPixmap(QPixmap(QStringLiteral(":/banner.gif")));
    const QPixmap hand(QStringLiteral(":/hand.ico"));
    m_image1->setCursor(hand.isNull() ? QCursor(Qt::PointingHandCursor)
                                      : QCursor(hand, handHotSpot.x(), handHotSpot.y()));
    m_image1->installEventFilter(this);

    okButton->setFocus();
}

bool Dialog::eventFilter(QObject *watched, QEvent *event)
{
    // A click is a left-button release over the picture that was pressed on it.
    if (watched == m_image1 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && m_image1->rect().contains(mouse->position().toPoint()))
            image1Click();
    }
    return QWidget::eventFilter(watched, event);
}

void Dialog::image1Click()
{
    tolerant({
        [this] { m_launcher.launch(QStringLiteral("Start.exe ") + QLatin1String(MakerAddress)); },
    });
}

void Dialog::okButtonClick()
{
    unguarded(m_runtimeError, [this] { close(); });
}
