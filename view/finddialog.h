#ifndef FINDDIALOG_H
#define FINDDIALOG_H

#include <QDialog>
#include <QPointer>
#include <QWebEnginePage>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWebEngineFindTextResult;

// The document view's own find dialog. The engine highlights every match and marks the
// current one; the dialog shows where that one stands among them.
class FindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FindDialog(QWebEnginePage *page, QWidget *parent = nullptr);

    void findNext();
    void findPrevious();

    // "N of M" while the text is found, "Not found" when it is not, empty before a search.
    QString status() const;
    bool isNotFound() const { return m_notFound; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void search(QWebEnginePage::FindFlags flags);
    void showResult(const QWebEngineFindTextResult &result);
    void clearResult();
    void setNotFound(bool notFound);

    QPointer<QWebEnginePage> m_page;
    QLineEdit *m_text = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_previous = nullptr;
    QLabel *m_status = nullptr;
    // Only the newest search may report: an answer to an older one arrives late.
    quint64 m_searchId = 0;
    bool m_notFound = false;
};

#endif // FINDDIALOG_H
