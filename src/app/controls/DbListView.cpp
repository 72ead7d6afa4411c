#include "DbListView.h"

#include <QFontMetrics>
#include <QGuiApplication>

#include "DbFieldLink.h"
#include "DbTable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

// ---- DbListRow / DbListColumn -------------------------------------------------

QVariant DbListRow::value(const QString &fieldName) const
{
    const DbField *f = m_table ? m_table->findField(fieldName) : nullptr;
    return f ? m_table->valueAt(m_recNo, f->index()) : QVariant();
}

DbListColumn DbListColumn::text(const QString &field, const QString &caption, int width, Qt::Alignment alignment,
                                std::function<QString(const QVariant &)> formatter)
{
    DbListColumn c;
    c.field = field;
    c.caption = caption;
    c.width = width;
    c.alignment = alignment;
    c.formatter = std::move(formatter);
    return c;
}

DbListColumn DbListColumn::picture(const QString &field, const QString &caption, int width, const QIcon &iconTrue,
                                   const QString &textTrue, const QIcon &iconFalse, const QString &textFalse,
                                   std::function<bool(const DbListRow &)> predicate)
{
    DbListColumn c;
    c.kind = Picture;
    c.field = field;
    c.caption = caption;
    c.width = width;
    c.alignment = Qt::AlignCenter;
    c.iconTrue = iconTrue;
    c.textTrue = textTrue;
    c.iconFalse = iconFalse;
    c.textFalse = textFalse;
    c.predicate = std::move(predicate);
    return c;
}

// ---- DbTableModel -------------------------------------------------------------

DbTableModel::DbTableModel(QObject *parent) : QAbstractTableModel(parent) {}

DbTable *DbTableModel::table() const { return m_source ? m_source->dataSet() : nullptr; }

void DbTableModel::setDataSource(DbDataSource *source)
{
    for (const auto &c : std::as_const(m_links))
        disconnect(c);
    m_links.clear();
    m_source = source;
    if (source) {
        m_links << connect(source, &DbDataSource::recordChanged, this, &DbTableModel::sync);
        m_links << connect(source, &DbDataSource::stateChanged, this, &DbTableModel::sync);
    }
    beginResetModel();
    m_active = false;
    m_rows = 0;
    endResetModel();
    sync();
}

void DbTableModel::setColumns(const QVector<DbListColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    resolveFields();
    endResetModel();
    sync();
}

void DbTableModel::resolveFields()
{
    m_fieldIndex.clear();
    DbTable *t = table();
    for (const DbListColumn &c : std::as_const(m_columns)) {
        const DbField *f = (t && t->active() && !c.field.isEmpty()) ? t->findField(c.field) : nullptr;
        m_fieldIndex << (f ? f->index() : -1);
    }
}

void DbTableModel::sync()
{
    DbTable *t = table();
    const bool active = t && t->active();
    const int rows = active ? t->recordCount() : 0;
    if (active != m_active || rows != m_rows) {
        beginResetModel();
        m_active = active;
        m_rows = rows;
        resolveFields();
        endResetModel();
    } else if (m_rows > 0 && !m_columns.isEmpty()) {
        // Same count, other contents perhaps (a post, another order): the
        // cells are read again when painted.
        Q_EMIT dataChanged(index(0, 0), index(m_rows - 1, int(m_columns.size()) - 1));
    }
    int current = -1;
    if (active && t->state() != DbTable::Insert && m_rows > 0)
        current = t->recNo() - 1;
    Q_EMIT currentRowChanged(current);
}

int DbTableModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_rows; }

int DbTableModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant DbTableModel::valueOf(int row, int column) const
{
    DbTable *t = table();
    const int f = m_fieldIndex.value(column, -1);
    if (!t || !t->active() || f < 0)
        return QVariant();
    return t->valueAt(row + 1, f);
}

QString DbTableModel::cellText(int row, int column) const
{
    if (column < 0 || column >= m_columns.size() || row < 0 || row >= m_rows)
        return QString();
    const DbListColumn &c = m_columns[column];
    if (c.kind == DbListColumn::Picture)
        return QString();
    const QVariant v = valueOf(row, column);
    if (c.formatter)
        return c.formatter(v);
    const int f = m_fieldIndex.value(column, -1);
    return f < 0 ? QString() : DbControls::displayText(table()->fields(f)->def(), v);
}

QVariant DbTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_columns.size())
        return QVariant();
    const DbListColumn &c = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(c.alignment);
    case Qt::DecorationRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole: {
        if (c.kind != DbListColumn::Picture)
            return QVariant();
        bool on;
        if (c.predicate)
            on = c.predicate(DbListRow(table(), index.row() + 1));
        else
            on = valueOf(index.row(), index.column()).toBool();
        if (role == Qt::DecorationRole)
            return on ? c.iconTrue : c.iconFalse;
        return on ? c.textTrue : c.textFalse;
    }
    default:
        return QVariant();
    }
}

QVariant DbTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < m_columns.size()) {
        const QString &caption = m_columns[section].caption;
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return caption;
        // A caption wider than its column keeps its beginning in sight.
        if (role == Qt::TextAlignmentRole && QFontMetrics(QGuiApplication::font()).horizontalAdvance(caption) + 8 > m_columns[section].width)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags DbTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

// ---- DbListView ---------------------------------------------------------------

DbListView::DbListView(QWidget *parent) : QTableView(parent), m_model(new DbTableModel(this))
{
    setModel(m_model);
    connectModel();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setSortingEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the columns fill the width
    // Uniform rows: the view then never asks for the size of rows it does not show.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
}

void DbListView::setDataSource(DbDataSource *source) { m_model->setDataSource(source); }

void DbListView::setColumns(const QVector<DbListColumn> &columns)
{
    m_model->setColumns(columns);
    m_fittedWidth = -1;
    fitColumns();
}

void DbListView::setTableModel(DbTableModel *model)
{
    if (!model || model == m_model)
        return;
    DbTableModel *old = m_model;
    model->setParent(this);
    model->setColumns(old->columns());
    model->setDataSource(old->dataSource());
    m_model = model;
    setModel(model);
    connectModel();
    delete old;
    m_fittedWidth = -1;
    fitColumns();
    model->sync();
}

void DbListView::connectModel()
{
    disconnect(m_follow);
    m_follow = connect(m_model, &DbTableModel::currentRowChanged, this, &DbListView::followTable);
}

void DbListView::followTable(int row)
{
    const QScopedValueRollback<bool> guard(m_following, true);
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
        return;
    }
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex idx = m_model->index(row, column);
    if (currentIndex() != idx || !selectionModel()->isRowSelected(row, QModelIndex()))
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(idx);
}

void DbListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid())
        return;
    DbTable *t = m_model->table();
    if (!t || !t->active() || t->recNo() == current.row() + 1)
        return;
    try {
        t->setRecNo(current.row() + 1); // a pending edit is posted, as any move does
    } catch (...) {
        followTable(t->recNo() - 1);
        throw;
    }
}

bool DbListView::search(const QString &text, int column)
{
    DbTable *t = m_model->table();
    const auto &columns = m_model->columns();
    if (!t || !t->active() || text.isEmpty() || column < 0 || column >= columns.size())
        return false;
    const DbListColumn &c = columns[column];
    if (c.kind == DbListColumn::Picture)
        return false;
    const DbField *f = t->findField(c.field);
    const QString firstKey = t->indexFieldNames().section(QLatin1Char(';'), 0, 0);
    if (f && !c.formatter && f->dataType() == FieldType::String && firstKey.compare(c.field, Qt::CaseInsensitive) == 0)
        return t->locate(c.field, text, DbTable::PartialKey | DbTable::CaseInsensitive);
    const int n = m_model->rowCount();
    if (n == 0)
        return false;
    const int start = qBound(0, t->recNo() - 1, n - 1);
    for (int k = 0; k < n; ++k) {
        const int row = (start + k) % n;
        if (m_model->cellText(row, column).startsWith(text, Qt::CaseInsensitive)) {
            t->setRecNo(row + 1);
            return true;
        }
    }
    return false;
}

void DbListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    // The focused column; a picture column hands over to the next text column.
    int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const auto &columns = m_model->columns();
    while (column < columns.size() && columns[column].kind == DbListColumn::Picture)
        ++column;
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && event->key() == Qt::Key_Backspace && !m_search.isEmpty()) {
        m_search.chop(1);
        m_lastKey.restart();
        if (!m_search.isEmpty())
            search(m_search, column);
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (plain && !typed.isEmpty() && typed.at(0).isPrint()) {
        if (!m_lastKey.isValid() || m_lastKey.elapsed() > m_searchTimeout)
            m_search.clear();
        m_lastKey.restart();
        const QString wanted = m_search + typed;
        if (search(wanted, column))
            m_search = wanted;
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DbListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        Q_EMIT rowDoubleClicked();
}

void DbListView::updateGeometries()
{
    QTableView::updateGeometries();
    fitColumns();
}

void DbListView::fitColumns()
{
    const auto &columns = m_model->columns();
    const int width = viewport()->width();
    if (m_fitting || columns.isEmpty() || width <= 0 || width == m_fittedWidth)
        return;
    const QScopedValueRollback<bool> guard(m_fitting, true);
    m_fittedWidth = width;
    int total = 0;
    for (const DbListColumn &c : columns)
        total += qMax(1, c.width);
    int used = 0;
    for (int i = 0; i < columns.size(); ++i) {
        const int w = i + 1 == columns.size() ? width - used : qMax(1, columns[i].width) * width / total;
        horizontalHeader()->resizeSection(i, qMax(1, w));
        used += w;
    }
}
