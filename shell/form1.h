#ifndef FORM1_H
#define FORM1_H

#include <QMainWindow>

class DocumentView;
class ImageList;
class MenuBar;
class Platform;
class QuotationChain;
class StatusBar;
class Toolbar;
class ToolbarCommands;

class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(Platform &platform);

    Platform &platform() const { return m_platform; }
    QuotationChain *quotationChain() const { return m_chain; }
    ImageList *ImageList1() const { return m_imageList; }
    Toolbar *Toolbar1() const { return m_toolbar; }
    StatusBar *StatusBar1() const { return m_statusBar; }
    DocumentView *WebBrowser1() const { return m_view; }
    MenuBar *menus() const { return m_menus; }
    // The area below the menu bar, where the bars dock and the view is placed.
    QWidget *clientArea() const { return centralWidget(); }

    // The whole window, frame, title bar and menu bar included, in twips.
    float outerWidth() const;
    float outerHeight() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();

    Platform &m_platform;
    QuotationChain *m_chain = nullptr;
    ImageList *m_imageList = nullptr;
    Toolbar *m_toolbar = nullptr;
    StatusBar *m_statusBar = nullptr;
    DocumentView *m_view = nullptr;
    MenuBar *m_menus = nullptr;
    ToolbarCommands *m_toolbarCommands = nullptr;
};

#endif // FORM1_H
