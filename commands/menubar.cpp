#include "menubar.h"

#include "findcommand.h"
#include "fontsize.h"
#include "menuitem.h"
#include "viewtoggles.h"

#include "about/aboutbox.h"
#include "shell/form1.h"
#include "shell/guard.h"
#include "shell/platform.h"
#include "view/documentview.h"

#include <QMenu>
#include <QMenuBar>

MenuBar::MenuBar(Form1 &form)
    : QObject(&form)
    , m_form(form)
{
    setObjectName(QStringLiteral("MenuBar"));
    m_form.menuBar()->setNativeMenuBar(false);
    createFileMenu();
    createEditMenu();
    createViewMenu();
    createOptionsMenu();
    createBarCommands();
}

MenuItem *MenuBar::fontSizeItem(qint16 index) const
{
    if (index < 1 || index > mnuFontSize.size())
        return nullptr;
    return mnuFontSize.at(index - 1);
}

MenuItem *MenuBar::addItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu ? menu->addAction(caption) : m_form.menuBar()->addAction(caption);
    return new MenuItem(name, action, this);
}

MenuItem *MenuBar::addMenu(QMenu *parent, const QString &name, const QString &caption, QMenu **menu)
{
    *menu = parent ? parent->addMenu(caption) : m_form.menuBar()->addMenu(caption);
    (*menu)->setObjectName(name);
    return new MenuItem(name, (*menu)->menuAction(), this);
}

void MenuBar::createFileMenu()
{
    QMenu *file = nullptr;
    mnuFile = addMenu(nullptr, QStringLiteral("mnuFile"), tr("File"), &file);
    mnuFilePrintPreview = addItem(file, QStringLiteral("mnuFilePrintPreview"), tr("Print Preview"));
    mnuFilePrint = addItem(file, QStringLiteral("mnuFilePrint"), tr("Print"));
    mnuFileExit = addItem(file, QStringLiteral("mnuFileExit"), tr("E&xit"));
    connect(mnuFilePrintPreview, &MenuItem::Click, this, &MenuBar::mnuFilePrintPreview_Click);
    connect(mnuFilePrint, &MenuItem::Click, this, &MenuBar::mnuFilePrint_Click);
    connect(mnuFileExit, &MenuItem::Click, this, &MenuBar::mnuFileExit_Click);
}

void MenuBar::createEditMenu()
{
    QMenu *edit = nullptr;
    mnuEdit = addMenu(nullptr, QStringLiteral("mnuEdit"), tr("Edit"), &edit);
    mnuEditSelectAll = addItem(edit, QStringLiteral("mnuEditSelectAll"), tr("Select All"));
    mnuEditCopy = addItem(edit, QStringLiteral("mnuEditCopy"), tr("Copy"));
    connect(mnuEditSelectAll, &MenuItem::Click, this, &MenuBar::mnuEditSelectAll_Click);
    connect(mnuEditCopy, &MenuItem::Click, this, &MenuBar::mnuEditCopy_Click);
}

void MenuBar::createViewMenu()
{
    QMenu *view = nullptr;
    mnuView = addMenu(nullptr, QStringLiteral("mnuView"), tr("View"), &view);
    mnuViewtoolbar = addItem(view, QStringLiteral("mnuViewtoolbar"), tr("Toolbar"));
    mnuViewStatusBar = addItem(view, QStringLiteral("mnuViewStatusBar"), tr("Faith Bar"));
    mnuViewtoolbar->setChecked(true);
    mnuViewStatusBar->setChecked(true);
    m_toggles = new ViewToggles(m_form, *mnuViewtoolbar, *mnuViewStatusBar, this);
    connect(mnuViewtoolbar, &MenuItem::Click, m_toggles, &ViewToggles::mnuViewtoolbar_Click);
    connect(mnuViewStatusBar, &MenuItem::Click, m_toggles, &ViewToggles::mnuViewStatusBar_Click);
}

void MenuBar::createOptionsMenu()
{
    QMenu *options = nullptr;
    QMenu *fontSize = nullptr;
    mnuOptions = addMenu(nullptr, QStringLiteral("mnuOptions"), tr("Options"), &options);
    mnuOptionsFontSize = addMenu(options, QStringLiteral("mnuOptionsFontSize"), tr("Font Size"), &fontSize);
    const QStringList captions = {tr("Smaller"), tr("Medium"), tr("Larger")};
    for (const QString &caption : captions)
        mnuFontSize.append(addItem(fontSize, QStringLiteral("mnuFontSize"), caption));
    m_fontSize = new FontSize(m_form, mnuFontSize, this);
    for (qsizetype i = 0; i < mnuFontSize.size(); ++i) {
        const auto index = qint16(i + 1);
        connect(mnuFontSize.at(i), &MenuItem::Click, m_fontSize, [this, index] { m_fontSize->mnuFontSize_Click(index); });
    }
}

void MenuBar::createBarCommands()
{
    mnuFind = addItem(nullptr, QStringLiteral("mnuFind"), tr("Find"));
    mnuAbout = addItem(nullptr, QStringLiteral("mnuAbout"), tr("About"));
    connect(mnuFind, &MenuItem::Click, this, &MenuBar::mnuFind_Click);
    connect(mnuAbout, &MenuItem::Click, this, &MenuBar::mnuAbout_Click);
}

void MenuBar::mnuFilePrintPreview_Click()
{
    tolerant({[this] { m_form.WebBrowser1()->ExecWB(DocumentView::PrintPreview, DocumentView::PromptUser); }});
}

// A reader who chooses Print expects to print: the same as the toolbar's Print.
void MenuBar::mnuFilePrint_Click()
{
    tolerant({[this] { m_form.WebBrowser1()->ExecWB(DocumentView::Print, DocumentView::PromptUser); }});
}

void MenuBar::mnuFileExit_Click()
{
    m_form.platform().endProgram();
}

void MenuBar::mnuEditSelectAll_Click()
{
    tolerant({[this] { m_form.WebBrowser1()->ExecWB(DocumentView::SelectAll, DocumentView::DontPromptUser); }});
}

void MenuBar::mnuEditCopy_Click()
{
    tolerant({[this] { m_form.WebBrowser1()->ExecWB(DocumentView::Copy, DocumentView::DontPromptUser); }});
}

void MenuBar::mnuFind_Click()
{
    findInView(*m_form.WebBrowser1());
}

void MenuBar::mnuAbout_Click()
{
    Platform &platform = m_form.platform();
    unguarded([&platform](const QString &message) { platform.runtimeError(message); },
              [&platform] { platform.aboutBox().show(); });
}
