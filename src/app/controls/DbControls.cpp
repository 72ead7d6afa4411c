#include "DbControls.h"

#include "DbTable.h"
#include "KvError.h"
#include "Prompt.h"

#include <QFocusEvent>
#include <QScopedValueRollback>
#include <QKeyEvent>
#include <QWheelEvent>

namespace {
// Moving between windows or opening a pop-up is not entering or leaving a control.
bool countsAsMove(const QFocusEvent *e)
{
    return e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason;
}

int widthOf(const DbField *f)
{
    return (f && f->dataType() == FieldType::String && f->size() > 0) ? f->size() : 32767;
}

bool changesItem(const QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_PageUp: case Qt::Key_PageDown:
    case Qt::Key_Home: case Qt::Key_End: case Qt::Key_F4:
        return true;
    default:
        return false;
    }
}
} // namespace

// ---- DbEdit -------------------------------------------------------------------

DbEdit::DbEdit(QWidget *parent) : QLineEdit(parent), m_link(new DbFieldLink(this, [this](DbField *f) { load(f); }))
{
    setReadOnly(true);
    connect(this, &QLineEdit::textChanged, this, &DbEdit::store);
}

void DbEdit::bind(DbDataSource *source, const QString &fieldName) { m_link->bind(source, fieldName); }

void DbEdit::load(DbField *field)
{
    const QString mask = field ? field->editMask() : QString();
    if (mask != m_mask) {
        m_mask = mask;
        setInputMask(DbControls::qtInputMask(mask));
    }
    if (mask.isEmpty())
        setMaxLength(widthOf(field));
    setText(field ? field->asString() : QString());
    setReadOnly(!m_link->canModify());
    m_error.clear();
}

void DbEdit::store()
{
    if (m_link->loading())
        return;
    const QString value = m_mask.isEmpty() ? text() : DbControls::maskedValue(displayText(), m_mask);
    try {
        if (m_link->write([&](DbField &f) { f.setAsString(value); }))
            m_error.clear();
    } catch (const KvError &e) {
        m_error = e.message(); // kept in the box until it is left
    }
}

void DbEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (countsAsMove(event))
        Q_EMIT entered();
}

void DbEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!countsAsMove(event))
        return;
    if (!m_error.isEmpty()) {
        const QString message = m_error;
        m_link->reload();
        Prompt::showError(message);
    }
    Q_EMIT exited();
}

// ---- DbMemo -------------------------------------------------------------------

DbMemo::DbMemo(QWidget *parent) : QPlainTextEdit(parent), m_link(new DbFieldLink(this, [this](DbField *f) { load(f); }))
{
    setTabChangesFocus(true);
    setReadOnly(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_link->loading())
            m_link->write([&](DbField &f) { f.setAsString(toPlainText()); });
    });
}

void DbMemo::bind(DbDataSource *source, const QString &fieldName) { m_link->bind(source, fieldName); }

void DbMemo::load(DbField *field)
{
    setPlainText(field ? field->asString() : QString());
    setReadOnly(!m_link->canModify());
}

void DbMemo::focusInEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusInEvent(event);
    if (countsAsMove(event))
        Q_EMIT entered();
}

void DbMemo::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (countsAsMove(event))
        Q_EMIT exited();
}

// ---- DbComboBox ---------------------------------------------------------------

DbComboBox::DbComboBox(QWidget *parent) : QComboBox(parent), m_link(new DbFieldLink(this, [this](DbField *f) { load(f); }))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // inline completion would store more than was typed
    lineEdit()->setReadOnly(true);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString &text) {
        if (!m_link->loading())
            m_link->write([&](DbField &f) { f.setAsString(text); });
    });
}

void DbComboBox::bind(DbDataSource *source, const QString &fieldName) { m_link->bind(source, fieldName); }

void DbComboBox::setItems(const QStringList &items)
{
    const QString keep = currentText();
    const QSignalBlocker block(this);
    clear();
    addItems(items);
    const int i = findText(keep, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(i);
    if (i < 0)
        setEditText(keep);
}

void DbComboBox::load(DbField *field)
{
    const QString value = field ? field->asString() : QString();
    lineEdit()->setMaxLength(widthOf(field));
    const int i = findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
    setCurrentIndex(i);
    if (i < 0)
        setEditText(value);
    lineEdit()->setReadOnly(!m_link->canModify());
}

void DbComboBox::showPopup()
{
    if (m_link->canModify())
        QComboBox::showPopup();
}

void DbComboBox::keyPressEvent(QKeyEvent *event)
{
    if (!m_link->canModify() && changesItem(event)) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DbComboBox::wheelEvent(QWheelEvent *event)
{
    if (m_link->canModify())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

void DbComboBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    if (countsAsMove(event))
        Q_EMIT entered();
}

void DbComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (countsAsMove(event))
        Q_EMIT exited();
}

// ---- DbLookupComboBox ---------------------------------------------------------

DbLookupComboBox::DbLookupComboBox(QWidget *parent)
    : QComboBox(parent), m_link(new DbFieldLink(this, [this](DbField *f) { load(f); }))
{
    setEditable(false);
    // A value missing from the list is shown as the placeholder: in the
    // normal text colour, since it is the stored value, not a hint.
    QPalette p = palette();
    p.setColor(QPalette::PlaceholderText, p.color(QPalette::ButtonText));
    setPalette(p);
    connect(this, &QComboBox::currentIndexChanged, this, &DbLookupComboBox::choose);
}

void DbLookupComboBox::bind(DbDataSource *source, const QString &fieldName) { m_link->bind(source, fieldName); }

void DbLookupComboBox::setLookup(DbDataSource *listSource, const QString &listField)
{
    m_listSource = listSource;
    m_listField = listField;
    refreshItems();
}

void DbLookupComboBox::refreshItems()
{
    QStringList values;
    DbTable *t = m_listSource ? m_listSource->dataSet() : nullptr;
    if (t && t->active()) {
        if (const DbField *f = t->findField(m_listField)) {
            // Read in place: walking the cursor would disturb the directory's current row.
            const int n = t->recordCount();
            values.reserve(n);
            for (int i = 1; i <= n; ++i)
                values << t->valueAt(i, f->index()).toString();
        }
    }
    QStringList now;
    for (int i = 0; i < count(); ++i)
        now << itemText(i);
    if (now == values)
        return;
    {
        const QScopedValueRollback<bool> guard(m_filling, true);
        clear();
        addItems(values);
    }
    show(m_value);
}

void DbLookupComboBox::load(DbField *field) { show(field ? field->asString() : QString()); }

void DbLookupComboBox::show(const QString &value)
{
    {
        const QScopedValueRollback<bool> guard(m_filling, true);
        const int i = value.isEmpty() ? -1 : findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
        setCurrentIndex(i);
        setPlaceholderText(i < 0 ? value : QString());
    }
    if (value != m_value) {
        m_value = value;
        Q_EMIT valueChanged(value);
    }
}

void DbLookupComboBox::choose(int index)
{
    if (m_filling || m_link->loading())
        return;
    const QString value = index < 0 ? QString() : itemText(index);
    if (m_link->write([&](DbField &f) { f.setAsString(value); })) {
        show(value);
    } else {
        show(m_value); // not editable now: back to what the field holds
    }
}

void DbLookupComboBox::showPopup()
{
    if (!m_link->canModify())
        return;
    refreshItems();
    QComboBox::showPopup();
}

void DbLookupComboBox::keyPressEvent(QKeyEvent *event)
{
    const bool navigation = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab
                            || event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return
                            || event->key() == Qt::Key_Enter;
    if (!m_link->canModify() && !navigation) {
        event->ignore();
        return;
    }
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        if (currentIndex() >= 0)
            setCurrentIndex(-1); // written by choose()
        else if (!m_value.isEmpty() && m_link->write([](DbField &f) { f.clear(); }))
            show(QString());
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DbLookupComboBox::wheelEvent(QWheelEvent *event)
{
    if (m_link->canModify())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

void DbLookupComboBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    if (!countsAsMove(event))
        return;
    refreshItems();
    Q_EMIT entered();
}

void DbLookupComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (countsAsMove(event))
        Q_EMIT exited();
}

// ---- DbCheckBox ---------------------------------------------------------------

DbCheckBox::DbCheckBox(QWidget *parent) : DbCheckBox(QString(), parent) {}

DbCheckBox::DbCheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent), m_link(new DbFieldLink(this, [this](DbField *f) { load(f); }))
{
    connect(this, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_link->loading())
            m_link->write([&](DbField &f) { f.setAsBoolean(on); });
    });
}

void DbCheckBox::bind(DbDataSource *source, const QString &fieldName) { m_link->bind(source, fieldName); }

void DbCheckBox::load(DbField *field) { setChecked(field && field->asBoolean()); }

void DbCheckBox::nextCheckState()
{
    if (m_link->canModify())
        QCheckBox::nextCheckState();
}

void DbCheckBox::focusInEvent(QFocusEvent *event)
{
    QCheckBox::focusInEvent(event);
    if (countsAsMove(event))
        Q_EMIT entered();
}

void DbCheckBox::focusOutEvent(QFocusEvent *event)
{
    QCheckBox::focusOutEvent(event);
    if (countsAsMove(event))
        Q_EMIT exited();
}
