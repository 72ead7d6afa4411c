#pragma once
#include "DbTable.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

// Ties one control to one field of the table behind a data source; every
// data-aware control owns one. The control gives a loader that shows a
// field; the link calls it whenever the table shows another row, changes
// state, or the field changes, and the control writes back through write().
//
// Rules shared by all controls:
// - A control writes only while the table is in Insert or Edit state (and
//   the source is enabled). In Browse state the control is read-only: the
//   window that edits a row puts the table into Insert or Edit first.
// - A control writes on every change of its contents, typed or set from
//   code, so the pending row always holds what is shown and nothing waits
//   for the control to lose the focus before a post.
// - Changes made while the control is loading are not written back.
class DbFieldLink : public QObject {
    Q_OBJECT
public:
    using Loader = std::function<void(DbField *field)>; // null: no row to show

    explicit DbFieldLink(QObject *parent, Loader loader);

    // Rebinding shows the new field at once; a null source unbinds.
    void bind(DbDataSource *source, const QString &fieldName);
    DbDataSource *dataSource() const { return m_source; }
    QString fieldName() const { return m_fieldName; }
    DbTable *table() const;
    // Null when unbound, the table is closed, or it has no such field.
    DbField *field() const;
    // True in Insert or Edit state on a writable field.
    bool canModify() const;

    // True while the loader runs: the control must not write back then.
    bool loading() const { return m_loading; }
    // Runs fn on the field when canModify(); returns whether it ran. The
    // field's own change notice does not reload the control meanwhile.
    bool write(const std::function<void(DbField &)> &fn);
    // Shows the field again (e.g. to drop text that could not be written).
    void reload();

Q_SIGNALS:
    // After each load: the read-only state may have changed as well.
    void loaded();

private:
    void onFieldChanged(int index);

    Loader m_loader;
    QPointer<DbDataSource> m_source;
    QString m_fieldName;
    QList<QMetaObject::Connection> m_links;
    bool m_loading = false;
    bool m_writing = false;
};

namespace DbControls {
// An edit mask of the table definitions ("aa.##.####", optionally with
// ";save literals;blank" sections) as a Qt input mask with the same meaning.
QString qtInputMask(const QString &editMask);
// The value a masked box holds: the text as shown with blanks as spaces,
// trailing blanks and separators dropped, so "0" typed into "aa.##.####"
// is stored as "0" and an untouched box as empty.
QString maskedValue(const QString &displayText, const QString &editMask);
// The text of a field value as lists show it: the display format applied
// ("#0.00" gives two decimals with a comma), dates as dd.MM.yyyy.
QString displayText(const FieldDef &field, const QVariant &value);
}
