#pragma once
#include "DbFieldLink.h"

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QFrame;
class QLineEdit;
class QToolButton;

// A date box: a line edit with the pattern "  .  .    " (day, month, four-digit
// year; blanks are spaces) and a button that drops a calendar down (also
// Alt+Down). An empty date shows the empty pattern.
//
// Bound to a date field (DbFieldLink rules), the box writes the field when
// its text is a whole valid date, and empties it when the text is all
// blanks. Any other text, such as "0" typed into the first position with the
// rest left blank, stays in the box unwritten, so that the window can read
// it with text() and give it a meaning of its own. A complete text that is
// not a date (31.02.2024) is reported when the box is left, and the field's
// value is shown again.
class DbDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit DbDateEdit(QWidget *parent = nullptr);
    void bind(DbDataSource *source, const QString &fieldName);
    DbFieldLink *link() const { return m_link; }

    // The text as shown, blanks as spaces: "05.03.2024", "  .  .    ", "0 .  .    ".
    QString text() const;
    // Puts a text into the pattern position by position ("0 .  .   " gives a
    // "0" in the first position), written by the rule above.
    void setText(const QString &text);
    // The date in the box; invalid unless the text is a whole valid date.
    QDate date() const;
    // An invalid date empties the box.
    void setDate(const QDate &date);
    bool isBlank() const;    // nothing but the pattern
    bool isComplete() const; // every position filled

    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }
    // The drop-down calendar (made on first use).
    QCalendarWidget *calendar();
    void showCalendar();
    void hideCalendar();

    bool isReadOnly() const;

Q_SIGNALS:
    void textChanged(const QString &text);
    void entered();
    void exited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void load(DbField *field);
    void store();
    void leave();
    DbFieldLink *m_link;
    QLineEdit *m_edit;
    QToolButton *m_button;
    QFrame *m_popup = nullptr;
    QCalendarWidget *m_calendar = nullptr;
    bool m_leaving = false;
};
