#ifndef DOCUMENTVIEW_H
#define DOCUMENTVIEW_H

#include <QWidget>

#include <optional>

// The document view's operations as the window and the commands use them. Every operation
// reports success; a failed one changes nothing. The frame is held in twips, as stored.
class DocumentView : public QWidget
{
    Q_OBJECT

public:
    enum Command : qint32 { Print = 6, PrintPreview = 7, Copy = 12, SelectAll = 17, Zoom = 19 };
    enum ExecOption : qint32 { DoDefault = 0, PromptUser = 1, DontPromptUser = 2 };

    explicit DocumentView(QWidget *parent = nullptr);

    virtual bool Navigate(QString &address) = 0;
    virtual bool Navigate2(QString address) = 0;
    virtual bool GoBack() = 0;
    virtual bool GoForward() = 0;
    virtual bool ExecWB(qint32 command, qint32 option, std::optional<qint32> input = std::nullopt) = 0;
    virtual bool SetFocus() = 0;

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    bool setLeft(float twips);
    bool setTop(float twips);
    bool setWidth(float twips);
    bool setHeight(float twips);

private:
    bool setFrameValue(float &member, float twips, bool valid);
    void applyFrame();

    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
};

#endif // DOCUMENTVIEW_H
