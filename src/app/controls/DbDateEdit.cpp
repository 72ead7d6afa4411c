#include "DbDateEdit.h"

#include "Clock.h"
#include "DbTable.h"
#include "Prompt.h"

#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QToolButton>

namespace {
const QString kFormat = QStringLiteral("dd.MM.yyyy");
}

DbDateEdit::DbDateEdit(QWidget *parent)
    : QWidget(parent),
      m_link(new DbFieldLink(this, [this](DbField *f) { load(f); })),
      m_edit(new QLineEdit(this)),
      m_button(new QToolButton(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit);
    row->addWidget(m_button);
    // Blanks are spaces, so an empty date reads "  .  .    ".
    m_edit->setInputMask(QStringLiteral("99.99.9999; "));
    m_edit->setReadOnly(true);
    m_edit->installEventFilter(this);
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_button->setEnabled(false);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(m_edit->sizePolicy());
    connect(m_button, &QToolButton::clicked, this, &DbDateEdit::showCalendar);
    connect(m_edit, &QLineEdit::textChanged, this, &DbDateEdit::store);
}

void DbDateEdit::bind(DbDataSource *source, const QString &fieldName) { m_link->bind(source, fieldName); }

QString DbDateEdit::text() const { return m_edit->displayText(); }

void DbDateEdit::setText(const QString &text) { m_edit->setText(text); }

bool DbDateEdit::isBlank() const
{
    for (const QChar c : text())
        if (c != QLatin1Char(' ') && c != QLatin1Char('.'))
            return false;
    return true;
}

bool DbDateEdit::isComplete() const { return !text().contains(QLatin1Char(' ')); }

QDate DbDateEdit::date() const { return isComplete() ? QDate::fromString(text(), kFormat) : QDate(); }

void DbDateEdit::setDate(const QDate &date) { m_edit->setText(date.isValid() ? date.toString(kFormat) : QString()); }

bool DbDateEdit::isReadOnly() const { return m_edit->isReadOnly(); }

void DbDateEdit::load(DbField *field)
{
    setDate(field ? field->asDate() : QDate());
    const bool editable = m_link->canModify();
    m_edit->setReadOnly(!editable);
    m_button->setEnabled(editable);
}

void DbDateEdit::store()
{
    Q_EMIT textChanged(text());
    if (m_link->loading())
        return;
    if (isBlank()) {
        m_link->write([](DbField &f) { f.clear(); });
        return;
    }
    const QDate d = date();
    if (d.isValid())
        m_link->write([&](DbField &f) { f.setAsDate(d); });
}

void DbDateEdit::leave()
{
    if (m_leaving || !isComplete() || date().isValid() || !m_link->canModify())
        return;
    const QScopedValueRollback<bool> guard(m_leaving, true);
    const QString message = QStringLiteral("«%1» не является датой").arg(text());
    m_link->reload();
    Prompt::showError(message);
}

bool DbDateEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        switch (event->type()) {
        case QEvent::FocusIn: {
            const auto *e = static_cast<QFocusEvent *>(event);
            if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason)
                Q_EMIT entered();
            break;
        }
        case QEvent::FocusOut: {
            const auto *e = static_cast<QFocusEvent *>(event);
            if (e->reason() != Qt::PopupFocusReason && e->reason() != Qt::ActiveWindowFocusReason) {
                leave();
                Q_EMIT exited();
            }
            break;
        }
        case QEvent::KeyPress: {
            const auto *e = static_cast<QKeyEvent *>(event);
            if ((e->key() == Qt::Key_Down && (e->modifiers() & Qt::AltModifier)) || e->key() == Qt::Key_F4) {
                showCalendar();
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QCalendarWidget *DbDateEdit::calendar()
{
    if (!m_calendar) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setFrameShape(QFrame::Box);
        auto *box = new QHBoxLayout(m_popup);
        box->setContentsMargins(1, 1, 1, 1);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
        m_calendar->setFirstDayOfWeek(Qt::Monday);
        m_calendar->setGridVisible(true);
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        box->addWidget(m_calendar);
        const auto pick = [this](const QDate &d) {
            hideCalendar();
            if (m_link->canModify())
                setDate(d);
            m_edit->setFocus(Qt::OtherFocusReason);
        };
        connect(m_calendar, &QCalendarWidget::clicked, this, pick);
        connect(m_calendar, &QCalendarWidget::activated, this, pick);
    }
    return m_calendar;
}

void DbDateEdit::showCalendar()
{
    if (!m_link->canModify())
        return;
    QCalendarWidget *cal = calendar();
    const QDate d = date();
    cal->setSelectedDate(d.isValid() ? d : Clock::today());
    m_popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen *s = screen()) {
        const QRect area = s->availableGeometry();
        if (at.y() + m_popup->height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - m_popup->height());
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - m_popup->width())));
    }
    m_popup->move(at);
    m_popup->show();
    cal->setFocus(Qt::PopupFocusReason);
}

void DbDateEdit::hideCalendar()
{
    if (m_popup)
        m_popup->hide();
}
