#include "DbTable.h"

#include "AppPaths.h"
#include "DbError.h"
#include "DbSession.h"
#include "SqliteStore.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kCacheLimit = 8192;
constexpr int kBehind = 8;   // rows fetched before the wanted one
constexpr int kAhead = 56;   // and after it: walks go forward mostly

int compareValues(const QVariant &a, const QVariant &b, FieldType type)
{
    const bool an = !a.isValid() || a.isNull(), bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    switch (type) {
    case FieldType::String:
    case FieldType::Memo: {
        const int c = a.toString().compare(b.toString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case FieldType::Float: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Boolean: {
        const qint64 x = a.toLongLong(), y = b.toLongLong();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::Date: {
        const QDate x = a.toDate(), y = b.toDate();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldType::DateTime: {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    }
    return 0;
}

// A value brought to the type of its field (texts cut to the field's width;
// an empty text is an empty field).
QVariant normalise(const FieldDef &f, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const bool isText = v.typeId() == QMetaType::QString;
    switch (f.type) {
    case FieldType::String: {
        QString s = v.toString();
        if (f.size > 0 && s.size() > f.size)
            s.truncate(f.size);
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Memo: {
        const QString s = v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Float: {
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            double d;
            if (!DbField::parseFloat(s, &d))
                throw DbError(QStringLiteral("«%1» не является числом").arg(s));
            return d;
        }
        return v.toDouble();
    }
    case FieldType::Integer:
    case FieldType::AutoInc: {
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            const int n = s.toInt(&ok);
            if (!ok)
                throw DbError(QStringLiteral("«%1» не является целым числом").arg(s));
            return n;
        }
        if (v.typeId() == QMetaType::Double)
            return static_cast<int>(std::llround(v.toDouble()));
        return v.toInt();
    }
    case FieldType::Date: {
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().isValid() ? v : QVariant();
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().isValid() ? QVariant(v.toDateTime().date()) : QVariant();
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            QDate d = QDate::fromString(s, QStringLiteral("dd.MM.yyyy"));
            if (!d.isValid())
                d = QDate::fromString(s, QStringLiteral("d.M.yyyy"));
            if (!d.isValid())
                throw DbError(QStringLiteral("«%1» не является датой").arg(s));
            return d;
        }
        return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(v.toDouble())));
    }
    case FieldType::DateTime: {
        if (v.typeId() == QMetaType::QDate)
            return QDateTime(v.toDate(), QTime(0, 0));
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            QDateTime d = QDateTime::fromString(s, QStringLiteral("dd.MM.yyyy hh:mm:ss"));
            if (!d.isValid())
                d = QDateTime(QDate::fromString(s, QStringLiteral("dd.MM.yyyy")), QTime(0, 0));
            if (!d.isValid())
                throw DbError(QStringLiteral("«%1» не является датой").arg(s));
            return d;
        }
        return v.toDateTime();
    }
    case FieldType::Boolean:
        if (isText) {
            const QString s = v.toString().trimmed();
            return s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s == QLatin1String("1");
        }
        return v.toBool();
    }
    return v;
}

} // namespace

// ---- DbField ------------------------------------------------------------------

QVariant DbField::value() const { return m_table->fieldValue(m_index); }
void DbField::setValue(const QVariant &v) { m_table->setFieldValue(m_index, normalise(m_def, v)); }
bool DbField::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

QString DbField::formatFloat(double v)
{
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e')))
        s = QString::number(v, 'f', 2);
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

bool DbField::parseFloat(const QString &text, double *out)
{
    QString s = text.trimmed();
    s.remove(QLatin1Char(' '));
    s.remove(QChar(0x00A0));
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = s.toDouble(&ok);
    if (ok)
        *out = d;
    return ok && std::isfinite(d);
}

QString DbField::asString() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QString();
    switch (m_def.type) {
    case FieldType::Float: return formatFloat(v.toDouble());
    case FieldType::Date: return v.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case FieldType::DateTime: return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    case FieldType::Boolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.toString();
    }
}

void DbField::setAsString(const QString &text) { setValue(text); }

double DbField::asFloat() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.typeId() == QMetaType::QString) {
        double d;
        if (!parseFloat(v.toString(), &d))
            throw DbError(QStringLiteral("«%1» не является числом").arg(v.toString()));
        return d;
    }
    if (v.typeId() == QMetaType::QDate)
        return QDate(1899, 12, 30).daysTo(v.toDate());
    return v.toDouble();
}

int DbField::asInteger() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw DbError(QStringLiteral("«%1» не является целым числом").arg(v.toString()));
        return n;
    }
    if (v.typeId() == QMetaType::Double)
        return static_cast<int>(std::llround(v.toDouble()));
    return v.toInt();
}

QDateTime DbField::asDateTime() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QDateTime();
    if (v.typeId() == QMetaType::QDate)
        return midnight(v.toDate());
    if (v.typeId() == QMetaType::QString)
        return normalise(FieldDef{m_def.name, FieldType::DateTime, 0, false, {}, {}}, v).toDateTime();
    return v.toDateTime();
}

// Local midnight costs a time-zone look-up (a system call with glibc), and a
// filter asks for it row after row among few distinct dates.
QDateTime DbField::midnight(const QDate &d) const
{
    const qint64 day = d.toJulianDay();
    const auto it = m_midnights.constFind(day);
    if (it != m_midnights.constEnd())
        return it.value();
    if (m_midnights.size() >= 4096)
        m_midnights.clear();
    return m_midnights.insert(day, QDateTime(d, QTime(0, 0))).value();
}

void DbField::setAsDateTime(const QDateTime &v) { setValue(v.isValid() ? QVariant(v) : QVariant()); }

bool DbField::asBoolean() const
{
    const QVariant v = value();
    return v.isValid() && !v.isNull() && v.toBool();
}

QString DbField::displayText() const
{
    if (m_def.type == FieldType::Float && !isNull() && !m_def.displayFormat.isEmpty()) {
        // "#0.00" and the like: a fixed number of decimals.
        const int dot = m_def.displayFormat.indexOf(QLatin1Char('.'));
        const int decimals = dot < 0 ? 0 : int(m_def.displayFormat.size()) - dot - 1;
        return QString::number(asFloat(), 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
    }
    return asString();
}

// ---- DbTable ------------------------------------------------------------------

DbTable::DbTable(QObject *parent) : QObject(parent) {}

DbTable::~DbTable()
{
    try {
        close();
    } catch (...) {
    }
}

QString DbTable::filePath() const
{
    QString folder = m_folder.isEmpty() ? DbSession::instance().netFileDir() : m_folder;
    QString name = m_tableName;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".DB");
    if (QDir::isAbsolutePath(AppPaths::localSeparators(name)))
        return AppPaths::localSeparators(name);
    return AppPaths::resolveFolder(folder) + name;
}

const TableDef &DbTable::def() const
{
    static const TableDef none;
    return m_store ? m_store->def() : none;
}

void DbTable::requireActive() const
{
    if (m_state == Inactive)
        throw DbError(QStringLiteral("Невозможно выполнить операцию при закрытой таблице %1").arg(m_tableName));
}

void DbTable::rethrow(const DbError &e) const
{
    if (e.kind() == DbError::Busy) {
        const QString folder = QFileInfo(filePath()).absolutePath();
        const QStringList who = DbLockFile::holders(folder, QFileInfo(filePath()).completeBaseName());
        if (!who.isEmpty())
            throw DbError(DbError::Busy, QStringLiteral("Таблица %1 занята пользователем %2. Повторите попытку позже.")
                                             .arg(m_tableName, who.join(QStringLiteral(", "))));
        throw DbError(DbError::Busy, QStringLiteral("Таблица %1 занята другим пользователем. Повторите попытку позже.").arg(m_tableName));
    }
    throw e;
}

void DbTable::createTable(const QString &folder, const TableDef &def)
{
    const QString dir = AppPaths::resolveFolder(folder);
    QDir().mkpath(dir);
    SqliteStore::create(dir + def.name + QStringLiteral(".DB"), def);
}

void DbTable::open() { openStore(false); }
void DbTable::openExclusive() { openStore(true); }

void DbTable::openStore(bool exclusive)
{
    if (m_state != Inactive)
        return;
    const QString path = filePath();
    const QString folder = QFileInfo(path).absolutePath();
    const QString table = QFileInfo(path).completeBaseName();
    std::unique_ptr<TableStore> store;
    try {
        store = SqliteStore::open(path, DbSession::instance().busyTimeout());
    } catch (const DbError &e) {
        rethrow(e);
    }
    DbLockFile::registerOpen(folder, table, exclusive);
    m_registered = true;
    m_store = std::move(store);
    m_exclusive = exclusive;
    try {
        m_fields.clear();
        const TableDef &d = m_store->def();
        for (int i = 0; i < d.fields.size(); ++i)
            m_fields.push_back(std::make_unique<DbField>(this, i, d.fields[i]));
        m_orderFields.clear();
        for (const QString &f : std::as_const(m_order)) {
            const int i = d.indexOf(f);
            if (i < 0)
                throw DbError(QStringLiteral("В таблице %1 нет поля «%2»").arg(m_tableName, f));
            m_orderFields << i;
        }
        m_state = Browse;
        reload(0);
    } catch (const DbError &e) {
        m_state = Inactive;
        m_store.reset();
        DbLockFile::unregisterOpen(folder, table);
        m_registered = false;
        if (e.kind() == DbError::Busy)
            rethrow(e);
        throw DbError(DbError::NotATable, e.kind() == DbError::NotATable ? e.message()
                          : QStringLiteral("Таблица %1 не открывается: %2").arg(QDir::toNativeSeparators(path), e.message()));
    }
    first();
    Q_EMIT stateChanged();
}

void DbTable::openInMemory(const TableDef &def)
{
    close();
    m_store = SqliteStore::createInMemory(def);
    m_fields.clear();
    for (int i = 0; i < def.fields.size(); ++i)
        m_fields.push_back(std::make_unique<DbField>(this, i, def.fields[i]));
    m_orderFields.clear();
    for (const QString &f : std::as_const(m_order))
        if (def.indexOf(f) >= 0)
            m_orderFields << def.indexOf(f);
    m_state = Browse;
    reload(0);
    first();
    Q_EMIT stateChanged();
}

void DbTable::close()
{
    if (m_state == Inactive)
        return;
    if (m_store && m_store->inTransaction())
        m_store->rollback();
    const QString path = m_store ? m_store->path() : QString();
    m_store.reset();
    if (m_registered) {
        DbLockFile::unregisterOpen(QFileInfo(path).absolutePath(), QFileInfo(path).completeBaseName());
        m_registered = false;
    }
    m_state = Inactive;
    m_exclusive = false;
    m_ids.clear();
    m_cache.clear();
    m_buf.clear();
    m_pos = -1;
    m_eof = m_bof = true;
    m_pending = false;
    Q_EMIT stateChanged();
    notifyRecord();
}

DbField *DbTable::fields(int index) const
{
    if (index < 0 || index >= int(m_fields.size()))
        throw DbError(QStringLiteral("Поле номер %1 не существует в таблице %2").arg(index).arg(m_tableName));
    return m_fields[size_t(index)].get();
}

DbField *DbTable::findField(const QString &name) const
{
    for (const auto &f : m_fields)
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

DbField *DbTable::fieldByName(const QString &name) const
{
    DbField *f = findField(name);
    if (!f)
        throw DbError(QStringLiteral("%1: поле «%2» не найдено").arg(m_tableName, name));
    return f;
}

// ---- positions ----------------------------------------------------------------

void DbTable::reload(qint64 keepId)
{
    const int oldPos = m_pos;
    m_cache.clear();
    m_pending = false;
    if (m_filtered && m_filter) {
        // The filter sees the rows in the file's own order, which reads each
        // page once; an index order jumps about the file at every row. The
        // rows that pass then take their places in the index order.
        const QVector<qint64> ordered = m_store->orderedIds(m_order);
        std::vector<qint64> passed; // ascending: the scan goes by row id
        auto scan = m_store->scan({});
        ++m_filterPass;
        m_scan = scan.get();
        try {
            while (scan->next())
                if (m_filter(*this))
                    passed.push_back(scan->id());
        } catch (...) {
            m_scan = nullptr;
            throw;
        }
        m_scan = nullptr;
        QVector<qint64> ids;
        ids.reserve(qsizetype(passed.size()));
        for (const qint64 id : ordered)
            if (std::binary_search(passed.begin(), passed.end(), id))
                ids.append(id);
        m_ids = std::move(ids);
    } else {
        m_ids = m_store->orderedIds(m_order);
    }
    const int n = int(m_ids.size());
    int pos = keepId ? int(m_ids.indexOf(keepId)) : -1;
    if (pos < 0)
        pos = qMin(oldPos, n - 1);
    if (pos < 0 && n > 0)
        pos = 0;
    m_pos = n == 0 ? -1 : pos;
    if (n == 0)
        m_eof = m_bof = true;
}

void DbTable::resolvePending()
{
    if (m_pending && m_state == Browse) {
        reload(m_pendingId);
        m_eof = m_bof = m_ids.isEmpty();
    }
}

void DbTable::checkExternal()
{
    if (m_state == Browse && m_store->changedElsewhere())
        reload(currentId());
}

qint64 DbTable::currentId() const
{
    if (m_state == Edit)
        return m_editId;
    if (m_pending)
        return m_pendingId;
    return (m_pos >= 0 && m_pos < m_ids.size()) ? m_ids[m_pos] : 0;
}

const StoredRow *DbTable::rowAt(int pos) const
{
    if (pos < 0 || pos >= m_ids.size())
        return nullptr;
    const qint64 id = m_ids[pos];
    auto it = m_cache.constFind(id);
    if (it != m_cache.constEnd())
        return &it.value();
    if (m_cache.size() > kCacheLimit)
        m_cache.clear();
    QVector<qint64> want;
    const int from = qMax(0, pos - kBehind), to = int(qMin<qsizetype>(m_ids.size(), pos + kAhead));
    for (int i = from; i < to; ++i)
        if (!m_cache.contains(m_ids[i]))
            want.append(m_ids[i]);
    try {
        m_store->fetch(want, m_cache);
    } catch (const DbError &e) {
        rethrow(e);
    }
    it = m_cache.constFind(id);
    return it != m_cache.constEnd() ? &it.value() : nullptr; // gone: another copy deleted it
}

const StoredRow *DbTable::currentRow() const
{
    if (m_pending) {
        auto it = m_cache.constFind(m_pendingId);
        if (it != m_cache.constEnd())
            return &it.value();
        StoredRow r;
        if (m_store->fetchOne(m_pendingId, r))
            return &m_cache.insert(m_pendingId, r).value();
        return nullptr;
    }
    return rowAt(m_pos);
}

QVariant DbTable::fieldValue(int index) const
{
    if (m_scan)
        return m_scan->value(index);
    if (m_state == Insert || m_state == Edit)
        return index < m_buf.size() ? m_buf[index] : QVariant();
    if (m_state == Inactive)
        requireActive();
    const StoredRow *r = currentRow();
    return (r && index < r->values.size()) ? r->values[index] : QVariant();
}

void DbTable::setFieldValue(int index, const QVariant &value)
{
    if (m_state != Insert && m_state != Edit)
        throw DbError(QStringLiteral("Таблица %1 не находится в режиме правки").arg(m_tableName));
    if (index < 0 || index >= m_buf.size())
        throw DbError(QStringLiteral("Поле номер %1 не существует в таблице %2").arg(index).arg(m_tableName));
    if (m_fields[size_t(index)]->isAutoInc())
        throw DbError(QStringLiteral("Поле «%1» нельзя изменить").arg(m_fields[size_t(index)]->fieldName()));
    m_buf[index] = value;
    if (!m_controlsDisabled)
        Q_EMIT fieldChanged(index);
}

void DbTable::notifyRecord()
{
    if (!m_controlsDisabled)
        Q_EMIT recordChanged();
}

void DbTable::enableControls()
{
    if (m_controlsDisabled > 0 && --m_controlsDisabled == 0)
        Q_EMIT recordChanged();
}

void DbTable::setPos(int pos)
{
    m_pos = pos;
    m_eof = m_bof = false;
    notifyRecord();
}

int DbTable::recordCount()
{
    requireActive();
    resolvePending();
    return int(m_ids.size());
}

int DbTable::recNo()
{
    requireActive();
    if (m_state == Insert)
        return 0;
    resolvePending();
    return m_pos + 1;
}

QVariant DbTable::valueAt(int recNo, int fieldIndex)
{
    requireActive();
    resolvePending();
    const StoredRow *r = rowAt(recNo - 1);
    return (r && fieldIndex >= 0 && fieldIndex < r->values.size()) ? r->values[fieldIndex] : QVariant();
}

void DbTable::setRecNo(int recNo)
{
    requireActive();
    checkBrowseMode();
    resolvePending();
    if (m_ids.isEmpty())
        return;
    setPos(qBound(1, recNo, int(m_ids.size())) - 1);
}

void DbTable::first()
{
    requireActive();
    checkBrowseMode();
    checkExternal();
    resolvePending();
    m_pos = m_ids.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_ids.isEmpty();
    notifyRecord();
}

void DbTable::last()
{
    requireActive();
    checkBrowseMode();
    checkExternal();
    resolvePending();
    m_pos = int(m_ids.size()) - 1;
    m_eof = true;
    m_bof = m_ids.isEmpty();
    notifyRecord();
}

void DbTable::next()
{
    requireActive();
    checkBrowseMode();
    resolvePending();
    m_bof = false;
    if (m_pos + 1 < m_ids.size()) {
        ++m_pos;
        m_eof = false;
        notifyRecord();
    } else {
        m_eof = true;
    }
}

void DbTable::prior()
{
    requireActive();
    checkBrowseMode();
    resolvePending();
    m_eof = false;
    if (m_pos > 0) {
        --m_pos;
        m_bof = false;
        notifyRecord();
    } else {
        m_bof = true;
    }
}

void DbTable::moveBy(int distance)
{
    requireActive();
    checkBrowseMode();
    resolvePending();
    if (m_ids.isEmpty())
        return;
    const int target = m_pos + distance;
    m_eof = target >= m_ids.size();
    m_bof = target < 0;
    m_pos = qBound(0, target, int(m_ids.size()) - 1);
    notifyRecord();
}

// ---- editing ------------------------------------------------------------------

void DbTable::checkBrowseMode()
{
    if (m_state == Insert || m_state == Edit)
        post();
}

void DbTable::append()
{
    requireActive();
    checkBrowseMode();
    // The buffer keeps its storage from one append to the next.
    m_buf.resize(fieldCount());
    m_buf.fill(QVariant());
    m_editId = 0;
    m_state = Insert;
    Q_EMIT stateChanged();
    notifyRecord();
}

void DbTable::edit()
{
    requireActive();
    if (m_state == Edit || m_state == Insert)
        return;
    checkExternal();
    resolvePending();
    if (m_ids.isEmpty()) {
        append();
        return;
    }
    const qint64 id = currentId();
    StoredRow fresh;
    bool found = false;
    try {
        found = m_store->fetchOne(id, fresh);
    } catch (const DbError &e) {
        rethrow(e);
    }
    if (!found) {
        reload(0);
        notifyRecord();
        throw DbError(DbError::Conflict, QStringLiteral("Запись удалена другим пользователем."));
    }
    m_cache.insert(id, fresh);
    m_buf = fresh.values;
    m_editId = id;
    m_editVersion = fresh.version;
    m_state = Edit;
    Q_EMIT stateChanged();
    notifyRecord();
}

void DbTable::post()
{
    requireActive();
    if (m_state != Insert && m_state != Edit)
        return;
    for (int i = 0; i < fieldCount(); ++i) {
        const FieldDef &f = m_fields[size_t(i)]->def();
        if (f.required && f.type != FieldType::AutoInc && (!m_buf[i].isValid() || m_buf[i].isNull()))
            throw DbError(DbError::Required, QStringLiteral("Поле «%1» должно быть заполнено").arg(f.name));
    }
    try {
        if (m_state == Insert) {
            const qint64 id = m_store->insert(m_buf);
            for (int i = 0; i < fieldCount(); ++i)
                if (m_fields[size_t(i)]->isAutoInc())
                    m_buf[i] = static_cast<int>(id);
            // Not cached: a long run of appends would only churn the cache; the
            // new row is read back from the table when it is looked at.
            m_cache.remove(id);
            m_pendingId = id;
        } else {
            try {
                m_store->update(m_editId, m_editVersion, m_buf);
            } catch (const DbError &e) {
                if (e.kind() == DbError::Conflict) {
                    // A deliberate second Post writes over the other change.
                    StoredRow now;
                    if (m_store->fetchOne(m_editId, now))
                        m_editVersion = now.version;
                }
                throw;
            }
            m_cache.insert(m_editId, StoredRow{m_buf, m_editVersion + 1});
            m_pendingId = m_editId;
        }
    } catch (const DbError &e) {
        rethrow(e);
    }
    m_pending = true;
    m_state = Browse;
    Q_EMIT stateChanged();
    notifyRecord();
}

void DbTable::cancel()
{
    if (m_state != Insert && m_state != Edit)
        return;
    m_state = Browse;
    m_buf.clear();
    Q_EMIT stateChanged();
    notifyRecord();
}

void DbTable::deleteRecord()
{
    requireActive();
    if (m_state == Insert) {
        cancel();
        return;
    }
    cancel();
    resolvePending();
    if (m_ids.isEmpty())
        throw DbError(QStringLiteral("Таблица %1 пуста: удалять нечего").arg(m_tableName));
    const qint64 id = m_ids[m_pos];
    try {
        m_store->remove(id);
    } catch (const DbError &e) {
        rethrow(e);
    }
    m_ids.remove(m_pos);
    m_cache.remove(id);
    if (m_pos >= m_ids.size())
        m_pos = int(m_ids.size()) - 1;
    m_eof = m_bof = m_ids.isEmpty();
    notifyRecord();
}

void DbTable::appendRecord(const QVector<QVariant> &values)
{
    append();
    try {
        for (int i = 0; i < values.size() && i < fieldCount(); ++i)
            if (!m_fields[size_t(i)]->isAutoInc() && values[i].isValid())
                m_fields[size_t(i)]->setValue(values[i]);
        post();
    } catch (...) {
        cancel();
        throw;
    }
}

void DbTable::emptyTable()
{
    requireActive();
    cancel();
    try {
        m_store->removeAll();
    } catch (const DbError &e) {
        rethrow(e);
    }
    m_ids.clear();
    m_cache.clear();
    m_pending = false;
    m_pos = -1;
    m_eof = m_bof = true;
    notifyRecord();
}

// ---- order, search, filter ----------------------------------------------------

void DbTable::setIndexFieldNames(const QString &names)
{
    QStringList order;
    for (const QString &n : names.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        order << n.trimmed();
    if (m_state == Inactive) {
        m_order = order;
        return;
    }
    checkBrowseMode();
    QVector<int> fieldsOf;
    for (const QString &f : std::as_const(order)) {
        const int i = def().indexOf(f);
        if (i < 0)
            throw DbError(QStringLiteral("В таблице %1 нет поля «%2»").arg(m_tableName, f));
        fieldsOf << i;
    }
    const qint64 keep = currentId();
    m_order = order;
    m_orderFields = fieldsOf;
    reload(keep);
    notifyRecord();
}

int DbTable::compareKey(int pos, const QVector<QVariant> &key) const
{
    const StoredRow *r = rowAt(pos);
    for (int i = 0; i < key.size() && i < m_orderFields.size(); ++i) {
        const int f = m_orderFields[i];
        const FieldDef &fd = m_fields[size_t(f)]->def();
        const int c = compareValues(r ? r->values[f] : QVariant(), normalise(fd, key[i]), fd.type);
        if (c != 0)
            return c;
    }
    return 0;
}

int DbTable::lowerBound(const QVector<QVariant> &key) const
{
    int lo = 0, hi = int(m_ids.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (compareKey(mid, key) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

bool DbTable::findKey(const QVector<QVariant> &keyValues)
{
    requireActive();
    checkBrowseMode();
    checkExternal();
    resolvePending();
    if (m_orderFields.isEmpty())
        throw DbError(QStringLiteral("У таблицы %1 не выбран индекс для поиска").arg(m_tableName));
    const int pos = lowerBound(keyValues);
    if (pos < m_ids.size() && compareKey(pos, keyValues) == 0) {
        setPos(pos);
        return true;
    }
    return false;
}

void DbTable::findNearest(const QVector<QVariant> &keyValues)
{
    requireActive();
    checkBrowseMode();
    checkExternal();
    resolvePending();
    if (m_ids.isEmpty())
        return;
    if (m_orderFields.isEmpty())
        throw DbError(QStringLiteral("У таблицы %1 не выбран индекс для поиска").arg(m_tableName));
    setPos(qMin(lowerBound(keyValues), int(m_ids.size()) - 1));
}

bool DbTable::locate(const QString &field, const QVariant &value, int options)
{
    requireActive();
    checkBrowseMode();
    checkExternal();
    resolvePending();
    DbField *f = fieldByName(field);
    QVector<qint64> found;
    try {
        found = m_store->idsWhere(f->index(), normalise(f->def(), value), options & CaseInsensitive, options & PartialKey, m_order);
    } catch (const DbError &e) {
        rethrow(e);
    }
    if (found.isEmpty())
        return false;
    if (found.size() <= 4) {
        for (qint64 id : std::as_const(found)) {
            const int pos = int(m_ids.indexOf(id));
            if (pos >= 0) {
                setPos(pos);
                return true;
            }
        }
        return false;
    }
    QHash<qint64, int> where;
    where.reserve(m_ids.size());
    for (int i = 0; i < m_ids.size(); ++i)
        where.insert(m_ids[i], i);
    for (qint64 id : std::as_const(found)) {
        auto it = where.constFind(id);
        if (it != where.constEnd()) {
            setPos(it.value());
            return true;
        }
    }
    return false;
}

void DbTable::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    m_filtered = on;
    if (m_state == Inactive)
        return;
    checkBrowseMode();
    reload(0);
    first();
}

void DbTable::refresh()
{
    requireActive();
    if (m_state != Browse)
        return;
    const qint64 keep = currentId();
    if (m_store->changedElsewhere() || m_pending) {
        reload(keep);
        m_eof = m_bof = m_ids.isEmpty();
    } else {
        m_cache.clear();
    }
    notifyRecord();
}

bool DbTable::refreshIfChanged()
{
    if (m_state != Browse || m_store->inTransaction() || !m_store->changedElsewhere())
        return false;
    reload(currentId());
    m_eof = m_bof = m_ids.isEmpty();
    notifyRecord();
    return true;
}

void DbTable::startTransaction()
{
    requireActive();
    try {
        m_store->begin();
    } catch (const DbError &e) {
        rethrow(e);
    }
}

void DbTable::commit()
{
    requireActive();
    try {
        m_store->commit();
    } catch (const DbError &e) {
        rethrow(e);
    }
}

void DbTable::rollback()
{
    requireActive();
    cancel();
    m_store->rollback();
    reload(0);
    notifyRecord();
}

bool DbTable::inTransaction() const { return m_store && m_store->inTransaction(); }

// ---- DbDataSource -------------------------------------------------------------

void DbDataSource::setDataSet(DbTable *table)
{
    for (const auto &c : std::as_const(m_links))
        disconnect(c);
    m_links.clear();
    m_table = table;
    if (!table)
        return;
    m_links << connect(table, &DbTable::recordChanged, this, [this] {
        if (m_enabled)
            Q_EMIT recordChanged();
    });
    m_links << connect(table, &DbTable::stateChanged, this, [this] {
        if (m_enabled)
            Q_EMIT stateChanged();
    });
    m_links << connect(table, &DbTable::fieldChanged, this, [this](int i) {
        if (m_enabled)
            Q_EMIT fieldChanged(i);
    });
}

void DbDataSource::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on) {
        Q_EMIT stateChanged();
        Q_EMIT recordChanged();
    }
}
