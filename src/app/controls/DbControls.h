#pragma once
#include "DbFieldLink.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

// Data-aware controls: each shows one field of the current row of a data
// source's table and writes what the user changes into the pending row.
// The shared rules (read-only in Browse state, written on every change) are
// those of DbFieldLink. Each control is bound with
//     control->bind(&DataBase1->PaysSource, QStringLiteral("Num"));
// and tells the window when it gains and loses the focus (entered/exited).

// A one-line edit box showing the field's text (numbers with a decimal
// comma and no display format, dates as dd.MM.yyyy). Text fields are cut to
// the field's width as typed (maxLength); a field with an edit mask gets the
// matching input mask. A number or date field takes the text when it
// converts (a decimal point is accepted too); a text that does not (letters
// in a number) stays in the box unwritten, and leaving the box reports the
// error and shows the field's value again.
class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DbEdit(QWidget *parent = nullptr);
    void bind(DbDataSource *source, const QString &fieldName);
    DbFieldLink *link() const { return m_link; }
    DbField *field() const { return m_link->field(); }
    // False while the box holds text its field does not take.
    bool textAccepted() const { return m_error.isEmpty(); }

Q_SIGNALS:
    void entered();
    void exited();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void load(DbField *field);
    void store();
    DbFieldLink *m_link;
    QString m_mask; // the field's edit mask in force
    QString m_error;
};

// A multi-line box for a memo field; Tab moves on to the next control.
class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DbMemo(QWidget *parent = nullptr);
    void bind(DbDataSource *source, const QString &fieldName);
    DbFieldLink *link() const { return m_link; }
    QString text() const { return toPlainText(); }

Q_SIGNALS:
    void entered();
    void exited();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void load(DbField *field);
    DbFieldLink *m_link;
};

// A combo box with a list of usual values that also takes any typed text
// (cut to the field's width). No completion: what is typed is what is stored.
class DbComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DbComboBox(QWidget *parent = nullptr);
    void bind(DbDataSource *source, const QString &fieldName);
    DbFieldLink *link() const { return m_link; }
    void setItems(const QStringList &items);
    QString text() const { return currentText(); }

    void showPopup() override;

Q_SIGNALS:
    void entered();
    void exited();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void load(DbField *field);
    DbFieldLink *m_link;
};

// A combo box whose only values are those of a field of another table
// (e.g. the short names of the payer directory), offered in that table's
// current order (its index). It takes no other text: typing selects the
// first value starting with the typed letters; Delete empties the field.
// The list is read anew when the box gets the focus or opens, and by
// refreshItems(); a stored value that is not in the list is still shown.
class DbLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DbLookupComboBox(QWidget *parent = nullptr);
    void bind(DbDataSource *source, const QString &fieldName);
    // The table and field whose values are offered.
    void setLookup(DbDataSource *listSource, const QString &listField);
    DbFieldLink *link() const { return m_link; }
    void refreshItems();
    // The value shown (also one that is not in the list).
    QString text() const { return m_value; }

    void showPopup() override;

Q_SIGNALS:
    void valueChanged(const QString &value);
    void entered();
    void exited();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void load(DbField *field);
    void show(const QString &value);
    void choose(int index);
    DbFieldLink *m_link;
    QPointer<DbDataSource> m_listSource;
    QString m_listField;
    QString m_value;
    bool m_filling = false;
};

// A check box for a Boolean field.
class DbCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DbCheckBox(QWidget *parent = nullptr);
    explicit DbCheckBox(const QString &text, QWidget *parent = nullptr);
    void bind(DbDataSource *source, const QString &fieldName);
    DbFieldLink *link() const { return m_link; }

Q_SIGNALS:
    void entered();
    void exited();

protected:
    void nextCheckState() override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void load(DbField *field);
    DbFieldLink *m_link;
};
