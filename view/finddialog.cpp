#include "finddialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QWebEngineFindTextResult>

FindDialog::FindDialog(QWebEnginePage *page, QWidget *parent)
    : QDialog(parent)
    , m_page(page)
{
    setWindowTitle(tr("Find"));

    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setClearButtonEnabled(true);
    auto *textLabel = new QLabel(tr("Fi&nd what:"), this);
    textLabel->setBuddy(m_text);

    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("matchCase"));

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("findStatus"));
    m_status->setMinimumWidth(m_status->fontMetrics().horizontalAdvance(QStringLiteral("0000 of 0000")));

    auto *buttons = new QDialogButtonBox(Qt::Vertical, this);
    m_next = buttons->addButton(tr("Find &Next"), QDialogButtonBox::ActionRole);
    m_next->setObjectName(QStringLiteral("findNext"));
    m_next->setDefault(true);
    m_previous = buttons->addButton(tr("Find &Previous"), QDialogButtonBox::ActionRole);
    m_previous->setObjectName(QStringLiteral("findPrevious"));
    buttons->addButton(QDialogButtonBox::Close);
    // Clicking a button leaves the focus in the text field, so that Return keeps finding
    // the next match, as in a browser's find bar.
    for (QAbstractButton *button : buttons->buttons()) {
        button->setFocusPolicy(Qt::TabFocus);
        if (auto *push = qobject_cast<QPushButton *>(button); push && push != m_next)
            push->setAutoDefault(false);
    }

    auto *grid = new QGridLayout(this);
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 2);
    grid->addWidget(m_matchCase, 1, 1);
    grid->addWidget(m_status, 1, 2, Qt::AlignRight);
    grid->addWidget(buttons, 0, 3, 3, 1);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);

    connect(m_next, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(m_previous, &QPushButton::clicked, this, &FindDialog::findPrevious);
    connect(buttons, &QDialogButtonBox::rejected, this, &FindDialog::reject);
    // Searching while typing, from the start, as a browser's find bar does.
    connect(m_text, &QLineEdit::textChanged, this, [this] { search({}); });
    connect(m_matchCase, &QCheckBox::toggled, this, [this] { search({}); });
    // A new page: the count would be the old page's.
    connect(page, &QWebEnginePage::loadFinished, this, [this] {
        if (isVisible())
            search({});
    });
    // Return goes to the default button (Find Next); Shift+Return and F3 as in browsers.
    auto *previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return), this);
    connect(previous, &QShortcut::activated, this, &FindDialog::findPrevious);
    auto *nextKey = new QShortcut(QKeySequence::FindNext, this);
    connect(nextKey, &QShortcut::activated, this, &FindDialog::findNext);
    auto *previousKey = new QShortcut(QKeySequence::FindPrevious, this);
    connect(previousKey, &QShortcut::activated, this, &FindDialog::findPrevious);

    resize(sizeHint().width() + 120, sizeHint().height());
}

void FindDialog::findNext()
{
    search({});
}

void FindDialog::findPrevious()
{
    search(QWebEnginePage::FindBackward);
}

QString FindDialog::status() const
{
    return m_status->text();
}

void FindDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_text->setFocus(Qt::ActiveWindowFocusReason);
    m_text->selectAll();
    // The highlights went when the dialog closed; bring them back for the text it kept.
    if (!m_text->text().isEmpty())
        search({});
}

void FindDialog::hideEvent(QHideEvent *event)
{
    ++m_searchId;
    if (m_page)
        m_page->findText(QString());
    clearResult();
    QDialog::hideEvent(event);
}

void FindDialog::search(QWebEnginePage::FindFlags flags)
{
    const quint64 id = ++m_searchId;
    const QString text = m_text->text();
    if (!m_page || text.isEmpty()) {
        if (m_page)
            m_page->findText(QString());
        clearResult();
        return;
    }
    if (m_matchCase->isChecked())
        flags |= QWebEnginePage::FindCaseSensitively;
    QPointer<FindDialog> self(this);
    m_page->findText(text, flags, [self, id](const QWebEngineFindTextResult &result) {
        if (self && self->m_searchId == id)
            self->showResult(result);
    });
}

void FindDialog::showResult(const QWebEngineFindTextResult &result)
{
    if (result.numberOfMatches() <= 0) {
        m_status->setText(tr("Not found"));
        setNotFound(true);
        return;
    }
    m_status->setText(tr("%1 of %2").arg(result.activeMatch()).arg(result.numberOfMatches()));
    setNotFound(false);
}

void FindDialog::clearResult()
{
    m_status->clear();
    setNotFound(false);
}

void FindDialog::setNotFound(bool notFound)
{
    m_notFound = notFound;
    QPalette palette = this->palette();
    if (notFound)
        palette.setColor(QPalette::Base, QColor(255, 204, 204));
    m_text->setPalette(palette);
}
