#ifndef MENUBAR_H
#define MENUBAR_H

#include <QList>
#include <QObject>

class Form1;
class FontSize;
class MenuItem;
class QMenu;
class ViewToggles;

// The main window's menus, created in code in the order they appear, with their commands.
class MenuBar : public QObject
{
    Q_OBJECT

public:
    explicit MenuBar(Form1 &form);

    MenuItem *mnuFile = nullptr;
    MenuItem *mnuFilePrintPreview = nullptr;
    MenuItem *mnuFilePrint = nullptr;
    MenuItem *mnuFileExit = nullptr;
    MenuItem *mnuEdit = nullptr;
    MenuItem *mnuEditSelectAll = nullptr;
    MenuItem *mnuEditCopy = nullptr;
    MenuItem *mnuView = nullptr;
    MenuItem *mnuViewtoolbar = nullptr;
    MenuItem *mnuViewStatusBar = nullptr;
    MenuItem *mnuOptions = nullptr;
    MenuItem *mnuOptionsFontSize = nullptr;
    // Indexed from 1, like the group it stands for.
    QList<MenuItem *> mnuFontSize;
    MenuItem *mnuFind = nullptr;
    MenuItem *mnuAbout = nullptr;

    MenuItem *fontSizeItem(qint16 index) const;

private:
    MenuItem *addItem(QMenu *menu, const QString &name, const QString &caption);
    MenuItem *addMenu(QMenu *parent, const QString &name, const QString &caption, QMenu **menu);
    void createFileMenu();
    void createEditMenu();
    void createViewMenu();
    void createOptionsMenu();
    void createBarCommands();

    void mnuFilePrintPreview_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuEditSelectAll_Click();
    void mnuEditCopy_Click();
    void mnuFind_Click();
    void mnuAbout_Click();

    Form1 &m_form;
    ViewToggles *m_toggles = nullptr;
    FontSize *m_fontSize = nullptr;
};

#endif // MENUBAR_H
