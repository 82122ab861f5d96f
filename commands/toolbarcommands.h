#ifndef TOOLBARCOMMANDS_H
#define TOOLBARCOMMANDS_H

#include "shell/toolbar.h"

#include <QList>
#include <QObject>

class Form1;

// The toolbar's buttons and what a click on each one does.
class ToolbarCommands : public QObject
{
    Q_OBJECT

public:
    explicit ToolbarCommands(Form1 &form);

    static QList<ToolbarEntry> buttonTable();

    void Toolbar1_ButtonClick(ToolbarButton button);

private:
    Form1 &m_form;
};

#endif // TOOLBARCOMMANDS_H
