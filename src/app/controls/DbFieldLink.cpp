#include "DbFieldLink.h"

#include "DbTable.h"

#include <QScopedValueRollback>

DbFieldLink::DbFieldLink(QObject *parent, Loader loader) : QObject(parent), m_loader(std::move(loader)) {}

void DbFieldLink::bind(DbDataSource *source, const QString &fieldName)
{
    for (const auto &c : std::as_const(m_links))
        disconnect(c);
    m_links.clear();
    m_source = source;
    m_fieldName = fieldName;
    if (source) {
        m_links << connect(source, &DbDataSource::recordChanged, this, &DbFieldLink::reload);
        m_links << connect(source, &DbDataSource::stateChanged, this, &DbFieldLink::reload);
        m_links << connect(source, &DbDataSource::fieldChanged, this, &DbFieldLink::onFieldChanged);
    }
    reload();
}

DbTable *DbFieldLink::table() const { return m_source ? m_source->dataSet() : nullptr; }

DbField *DbFieldLink::field() const
{
    DbTable *t = table();
    if (!t || !t->active() || m_fieldName.isEmpty())
        return nullptr;
    return t->findField(m_fieldName); // fields are made anew at each open
}

bool DbFieldLink::canModify() const
{
    DbTable *t = table();
    if (!t || !m_source->enabled())
        return false;
    if (t->state() != DbTable::Insert && t->state() != DbTable::Edit)
        return false;
    DbField *f = field();
    return f && !f->isAutoInc();
}

bool DbFieldLink::write(const std::function<void(DbField &)> &fn)
{
    if (m_loading || !canModify())
        return false;
    QScopedValueRollback<bool> guard(m_writing, true);
    fn(*field());
    return true;
}

void DbFieldLink::reload()
{
    if (m_writing)
        return;
    {
        QScopedValueRollback<bool> guard(m_loading, true);
        m_loader(field());
    }
    Q_EMIT loaded();
}

void DbFieldLink::onFieldChanged(int index)
{
    DbField *f = field();
    if (f && f->index() == index)
        reload();
}

namespace DbControls {

namespace {

struct MaskParts {
    QString body;
    bool saveLiterals = true;
    QChar blank = QLatin1Char('_');
};

MaskParts splitMask(const QString &editMask)
{
    MaskParts m;
    // A ';' escaped with '\' belongs to the body.
    QStringList parts;
    QString cur;
    for (int i = 0; i < editMask.size(); ++i) {
        const QChar c = editMask[i];
        if (c == QLatin1Char('\\') && i + 1 < editMask.size()) {
            cur += c;
            cur += editMask[++i];
        } else if (c == QLatin1Char(';')) {
            parts << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts << cur;
    m.body = parts.value(0);
    if (parts.size() > 1 && parts[1] == QLatin1String("0"))
        m.saveLiterals = false;
    if (parts.size() > 2 && !parts[2].isEmpty())
        m.blank = parts[2][0];
    return m;
}

// For each position of the shown text: whether it is a separator, and the
// separator itself.
QVector<QChar> literalPositions(const QString &body)
{
    static const QString input = QStringLiteral("LlAaCc09#");
    QVector<QChar> out; // QChar() for an input position
    for (int i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c == QLatin1Char('!') || c == QLatin1Char('>') || c == QLatin1Char('<'))
            continue;
        if (c == QLatin1Char('\\') && i + 1 < body.size()) {
            out << body[++i];
            continue;
        }
        if (input.contains(c))
            out << QChar();
        else
            out << (c == QLatin1Char('_') ? QLatin1Char(' ') : c);
    }
    return out;
}

} // namespace

QString qtInputMask(const QString &editMask)
{
    if (editMask.isEmpty())
        return QString();
    const MaskParts m = splitMask(editMask);
    static const QString qtMeta = QStringLiteral("AaNnXx90Dd#HhBb><!;[]{}\\");
    QString out;
    const QString &b = m.body;
    for (int i = 0; i < b.size(); ++i) {
        const QChar c = b[i];
        switch (c.unicode()) {
        case '!': break; // "trim leading blanks": Qt has no such switch
        case '>': out += QLatin1Char('>'); break;
        case '<':
            if (i + 1 < b.size() && b[i + 1] == QLatin1Char('>')) {
                out += QLatin1Char('!');
                ++i;
            } else {
                out += QLatin1Char('<');
            }
            break;
        case 'L': out += QLatin1Char('A'); break;
        case 'l': out += QLatin1Char('a'); break;
        case 'A': out += QLatin1Char('N'); break;
        case 'a': out += QLatin1Char('n'); break;
        case 'C': out += QLatin1Char('X'); break;
        case 'c': out += QLatin1Char('x'); break;
        case '0': out += QLatin1Char('9'); break;
        case '9': out += QLatin1Char('0'); break;
        case '#': out += QLatin1Char('#'); break;
        case '_': out += QLatin1Char(' '); break;
        case '\\':
            if (i + 1 < b.size()) {
                const QChar lit = b[++i];
                if (qtMeta.contains(lit))
                    out += QLatin1Char('\\');
                out += lit;
            }
            break;
        default:
            if (qtMeta.contains(c))
                out += QLatin1Char('\\');
            out += c;
        }
    }
    out += QLatin1Char(';');
    out += m.blank;
    return out;
}

QString maskedValue(const QString &displayText, const QString &editMask)
{
    if (editMask.isEmpty())
        return displayText;
    const MaskParts m = splitMask(editMask);
    const QVector<QChar> lit = literalPositions(m.body);
    QString s = displayText;
    const auto isLiteral = [&](int i) { return i < lit.size() && !lit[i].isNull(); };
    // Up to the last position typed into; separators after it stay only when
    // no input position follows (a complete entry keeps its closing literal).
    int last = -1;
    bool inputAfter = false;
    for (int i = int(s.size()) - 1; i >= 0; --i) {
        if (isLiteral(i))
            continue;
        if (s[i] != m.blank && s[i] != QLatin1Char(' ')) {
            last = i;
            break;
        }
        inputAfter = true;
    }
    const int end = last < 0 ? 0 : (inputAfter ? last + 1 : int(s.size()));
    QString out;
    for (int i = 0; i < end; ++i) {
        if (isLiteral(i)) {
            if (m.saveLiterals)
                out += s[i];
        } else {
            out += s[i] == m.blank ? QLatin1Char(' ') : s[i];
        }
    }
    return out;
}

QString displayText(const FieldDef &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (field.type) {
    case FieldType::Float: {
        const double v = value.toDouble();
        if (field.displayFormat.isEmpty())
            return DbField::formatFloat(v);
        const int dot = int(field.displayFormat.indexOf(QLatin1Char('.')));
        const int decimals = dot < 0 ? 0 : int(field.displayFormat.size()) - dot - 1;
        return QString::number(v, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    case FieldType::Date: return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case FieldType::DateTime: return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    case FieldType::Boolean: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return value.toString();
    }
}

} // namespace DbControls
