#include "DbControls.h"
#include "DbDateEdit.h"
#include "DbListView.h"
#include "DbTable.h"
#include "TestSupport.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QHeaderView>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <QTemporaryDir>
#include <QtTest>

namespace {

TableDef ordersDef()
{
    TableDef d;
    d.name = QStringLiteral("Orders");
    FieldDef num{QStringLiteral("Num"), FieldType::Float, 0, false, QStringLiteral("#0.00"), {}};
    FieldDef period{QStringLiteral("Period"), FieldType::String, 10, false, {}, QStringLiteral("aa.##.####")};
    d.fields = {{QStringLiteral("Name"), FieldType::String, 10, false, {}, {}}, num,
                {QStringLiteral("Day"), FieldType::Date, 0, false, {}, {}},
                {QStringLiteral("Paid"), FieldType::Boolean, 0, false, {}, {}},
                {QStringLiteral("Note"), FieldType::Memo, 0, false, {}, {}}, period,
                {QStringLiteral("Kind"), FieldType::String, 2, false, {}, {}},
                {QStringLiteral("Id"), FieldType::AutoInc, 0, false, {}, {}}};
    return d;
}

TableDef namesDef()
{
    TableDef d;
    d.name = QStringLiteral("Names");
    d.fields = {{QStringLiteral("PSName"), FieldType::String, 40, true, {}, {}}};
    d.primaryKey = {QStringLiteral("PSName")};
    return d;
}

// An orders table in Num order and a directory of names in name order,
// each behind a data source, as the data module has them.
struct Fixture {
    QTemporaryDir dir;
    DbTable orders;
    DbTable names;
    DbDataSource ordersSource;
    DbDataSource namesSource;
    Fixture()
    {
        DbTable::createTable(dir.path(), ordersDef());
        DbTable::createTable(dir.path(), namesDef());
        orders.setDatabaseName(dir.path());
        orders.setTableName(QStringLiteral("Orders"));
        orders.setIndexFieldNames(QStringLiteral("Num"));
        orders.open();
        names.setDatabaseName(dir.path());
        names.setTableName(QStringLiteral("Names"));
        names.setIndexFieldNames(QStringLiteral("PSName"));
        names.open();
        ordersSource.setDataSet(&orders);
        namesSource.setDataSet(&names);
    }
    void add(const QString &name, double num, const QDate &day = {}, bool paid = false)
    {
        orders.appendRecord({name, num, day.isValid() ? QVariant(day) : QVariant(), paid});
    }
    DbField *field(const char *name) { return orders.fieldByName(QString::fromLatin1(name)); }
};

// An active window for the controls that need the focus: create them on
// `window`, then show().
struct Host {
    QWidget window;
    QLineEdit other{&window};
    void show()
    {
        auto *column = new QVBoxLayout(&window);
        for (QWidget *w : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            column->addWidget(w);
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    void leave(QWidget *w)
    {
        w->setFocus(Qt::OtherFocusReason);
        other.setFocus(Qt::TabFocusReason);
    }
};

class CountingModel : public DbTableModel {
public:
    using DbTableModel::DbTableModel;
    mutable int calls = 0;
    QVariant data(const QModelIndex &index, int role) const override
    {
        ++calls;
        return DbTableModel::data(index, role);
    }
};

// Typing any text, Cyrillic included (keyClicks knows only ASCII).
void type(QWidget *w, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QStringList itemsOf(const QComboBox &box)
{
    QStringList out;
    for (int i = 0; i < box.count(); ++i)
        out << box.itemText(i);
    return out;
}

} // namespace

class TestControls : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editWritesPendingRowAndShowsNextRow()
    {
        Fixture f;
        f.add(QStringLiteral("Иванов"), 1);
        f.add(QStringLiteral("Петров"), 2);
        f.orders.first();
        DbEdit e, twin;
        e.bind(&f.ordersSource, QStringLiteral("Name"));
        twin.bind(&f.ordersSource, QStringLiteral("Name"));
        QCOMPARE(e.text(), QStringLiteral("Иванов"));

        // Browse state: typing does not reach the row.
        QVERIFY(e.isReadOnly());
        type(&e, QStringLiteral("X"));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Иванов"));

        f.orders.edit();
        QVERIFY(!e.isReadOnly());
        e.selectAll();
        type(&e, QStringLiteral("Сидоров"));
        QCOMPARE(f.orders.state(), DbTable::Edit);
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Сидоров")); // pending, before any post
        QCOMPARE(twin.text(), QStringLiteral("Сидоров"));

        // Cut to the field's width of 10, typed or set.
        e.selectAll();
        type(&e, QStringLiteral("Константинопольский"));
        QCOMPARE(e.text(), QStringLiteral("Константин"));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Константин"));

        f.orders.post();
        f.orders.next();
        QCOMPARE(e.text(), QStringLiteral("Петров"));
        f.orders.first();
        QCOMPARE(e.text(), QStringLiteral("Константин"));
        f.orders.close();
        QCOMPARE(e.text(), QString());
        QVERIFY(e.isReadOnly());
    }

    void numberBoxTakesOnlyNumbers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shownAfterLeaving");
        QTest::newRow("decimal comma") << "12,5" << QVariant(12.5) << "12,5";
        QTest::newRow("decimal point") << "12.5" << QVariant(12.5) << "12.5";
        QTest::newRow("empty") << "" << QVariant() << "";
        QTest::newRow("letters: kept out, reported, field shown again") << "1a" << QVariant(7.0) << "7";
    }
    void numberBoxTakesOnlyNumbers()
    {
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        QFETCH(QString, shownAfterLeaving);
        Fixture f;
        f.add(QStringLiteral("A"), 7);
        Host host;
        PromptScript prompts;
        auto *e = new DbEdit(&host.window);
        e->bind(&f.ordersSource, QStringLiteral("Num"));
        host.show();
        f.orders.edit();
        e->setFocus(Qt::OtherFocusReason);
        e->setText(typed);
        QCOMPARE(f.field("Num")->value(), stored);
        QCOMPARE(e->textAccepted(), stored != QVariant(7.0));
        host.leave(e);
        QCOMPARE(e->text(), shownAfterLeaving);
        QCOMPARE(prompts.shown().size(), e->text() == typed ? 0 : 1);
    }

    void editMasks_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("qtMask");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("value");
        QTest::newRow("tax period, complete") << "aa.##.####" << "nn.##.####;_" << "МС.01.2024" << "МС.01.2024";
        QTest::newRow("tax period, only 0") << "aa.##.####" << "nn.##.####;_" << "0_.__.____" << "0";
        QTest::newRow("untouched") << "aa.##.####" << "nn.##.####;_" << "__.__.____" << "";
        QTest::newRow("gap inside") << "aa.##.####" << "nn.##.####;_" << "М_.01.2024" << "М .01.2024";
        QTest::newRow("literals not saved, space blank") << "!00-00;0; " << "99-99; " << "12-3 " << "123";
        QTest::newRow("case and escapes, literal kept at the end") << ">LL<ll\\A" << ">AA<aa\\A;_" << "ABcdA" << "ABcdA";
        QTest::newRow("literal at the end after blanks") << "00-00-" << "99-99-;_" << "1_-__-" << "1";
    }
    void editMasks()
    {
        QFETCH(QString, mask);
        QFETCH(QString, qtMask);
        QFETCH(QString, shown);
        QFETCH(QString, value);
        QCOMPARE(DbControls::qtInputMask(mask), qtMask);
        QCOMPARE(DbControls::maskedValue(shown, mask), value);
    }

    void maskedBoxStoresWhatWasTyped()
    {
        Fixture f;
        f.orders.appendRecord({QStringLiteral("A"), 1, {}, {}, {}, QStringLiteral("МС.01.2024")});
        DbEdit e;
        e.bind(&f.ordersSource, QStringLiteral("Period"));
        QCOMPARE(e.displayText(), QStringLiteral("МС.01.2024"));
        f.orders.edit();
        e.clear();
        QVERIFY(f.field("Period")->isNull());
        e.setCursorPosition(0);
        type(&e, QStringLiteral("0"));
        QCOMPARE(f.field("Period")->asString(), QStringLiteral("0"));
        f.orders.post();
        f.orders.first();
        QCOMPARE(e.displayText(), QStringLiteral("0_.__.____"));
    }

    void dateBox()
    {
        Fixture f;
        f.add(QStringLiteral("A"), 1, QDate(2024, 3, 5));
        f.add(QStringLiteral("B"), 2);
        f.orders.first();
        Host host;
        PromptScript prompts;
        auto *d = new DbDateEdit(&host.window);
        d->bind(&f.ordersSource, QStringLiteral("Day"));
        host.show();
        QCOMPARE(d->text(), QStringLiteral("05.03.2024"));
        QCOMPARE(d->date(), QDate(2024, 3, 5));
        QVERIFY(d->isReadOnly());
        QVERIFY(!d->calendarButton()->isEnabled());

        f.orders.next();
        QCOMPARE(d->text(), QStringLiteral("  .  .    ")); // an empty date: the empty pattern
        QVERIFY(d->isBlank());

        f.orders.edit();
        QVERIFY(!d->isReadOnly());
        // "0" in the first position, the rest blank: kept as typed, not a date.
        QSignalSpy texts(d, &DbDateEdit::textChanged);
        d->lineEdit()->setCursorPosition(0);
        type(d->lineEdit(), QStringLiteral("0"));
        QCOMPARE(d->text(), QStringLiteral("0 .  .    "));
        QCOMPARE(texts.last().at(0).toString(), QStringLiteral("0 .  .    "));
        QVERIFY(f.field("Day")->isNull());
        host.leave(d);
        QCOMPARE(d->text(), QStringLiteral("0 .  .    "));
        QVERIFY(prompts.shown().isEmpty());
        d->setText(QStringLiteral("0 .  .   ")); // as the journal puts it
        QCOMPARE(d->text(), QStringLiteral("0 .  .    "));

        // A whole date typed is written; blanking the box empties the field.
        d->lineEdit()->setCursorPosition(0);
        type(d->lineEdit(), QStringLiteral("01022023"));
        QCOMPARE(f.field("Day")->asDate(), QDate(2023, 2, 1));
        d->lineEdit()->clear();
        QVERIFY(f.field("Day")->isNull());

        // The calendar.
        d->showCalendar();
        QVERIFY(d->calendar()->isVisible());
        Q_EMIT d->calendar()->clicked(QDate(2024, 7, 15));
        QVERIFY(!d->calendar()->isVisible());
        QCOMPARE(d->text(), QStringLiteral("15.07.2024"));
        QCOMPARE(f.field("Day")->asDate(), QDate(2024, 7, 15));

        // A complete text that is no date: reported on leaving, the field shown again.
        d->setFocus(Qt::OtherFocusReason);
        d->setText(QStringLiteral("31.02.2024"));
        QCOMPARE(f.field("Day")->asDate(), QDate(2024, 7, 15));
        host.leave(d);
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(d->text(), QStringLiteral("15.07.2024"));

        f.orders.post();
        f.orders.first();
        QCOMPARE(d->text(), QStringLiteral("05.03.2024"));
        f.orders.last();
        QCOMPARE(d->date(), QDate(2024, 7, 15));
    }

    void lookupOffersOtherTableInKeyOrder()
    {
        Fixture f;
        for (const char *n : {"Яков", "Андрей", "Борис"})
            f.names.appendRecord({QString::fromUtf8(n)});
        f.names.setRecNo(2);
        f.add(QString(), 1);
        Host host;
        auto *c = new DbLookupComboBox(&host.window);
        c->bind(&f.ordersSource, QStringLiteral("Name"));
        c->setLookup(&f.namesSource, QStringLiteral("PSName"));
        host.show();
        QCOMPARE(itemsOf(*c), (QStringList{QStringLiteral("Андрей"), QStringLiteral("Борис"), QStringLiteral("Яков")}));
        QCOMPARE(f.names.recNo(), 2); // the directory's current row stays
        QVERIFY(!c->isEditable());

        c->setFocus(Qt::OtherFocusReason);
        type(c, QStringLiteral("Б")); // Browse state: nothing chosen
        QVERIFY(f.field("Name")->isNull());

        f.orders.edit();
        c->setCurrentIndex(2);
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Яков"));
        type(c, QStringLiteral("Б"));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Борис"));
        type(c, QStringLiteral("Z")); // no such value: nothing else is taken
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Борис"));
        QTest::keyClick(c, Qt::Key_Delete);
        QVERIFY(f.field("Name")->isNull());

        // A stored name no longer in the directory is still shown.
        f.field("Name")->setValue(QStringLiteral("Старый"));
        QCOMPARE(c->text(), QStringLiteral("Старый"));
        QCOMPARE(c->currentIndex(), -1);
        QCOMPARE(c->placeholderText(), QStringLiteral("Старый"));

        // New entries show when the box is entered; a pending directory edit is left alone.
        f.names.appendRecord({QStringLiteral("Вера")});
        f.names.edit();
        host.other.setFocus(Qt::TabFocusReason);
        c->setFocus(Qt::TabFocusReason);
        QCOMPARE(itemsOf(*c), (QStringList{QStringLiteral("Андрей"), QStringLiteral("Борис"), QStringLiteral("Вера"),
                                           QStringLiteral("Яков")}));
        QCOMPARE(f.names.state(), DbTable::Edit);
        QCOMPARE(c->text(), QStringLiteral("Старый"));
    }

    void comboCheckAndMemoWriteOnlyWhileEditing()
    {
        Fixture f;
        f.add(QStringLiteral("A"), 1);
        Host host;
        auto *combo = new DbComboBox(&host.window);
        combo->setItems({QStringLiteral(" "), QStringLiteral("0"), QStringLiteral("01"), QStringLiteral("10")});
        combo->bind(&f.ordersSource, QStringLiteral("Kind"));
        auto *check = new DbCheckBox(QStringLiteral("Оплачено"), &host.window);
        check->bind(&f.ordersSource, QStringLiteral("Paid"));
        auto *memo = new DbMemo(&host.window);
        memo->bind(&f.ordersSource, QStringLiteral("Note"));
        host.show();

        type(combo, QStringLiteral("5"));
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        type(memo, QStringLiteral("x"));
        QVERIFY(f.field("Kind")->isNull());
        QVERIFY(!check->isChecked());
        QVERIFY(!f.field("Paid")->asBoolean());
        QVERIFY(f.field("Note")->isNull());

        f.orders.edit();
        type(combo, QStringLiteral("1")); // no completion to "10"
        QCOMPARE(f.field("Kind")->asString(), QStringLiteral("1"));
        type(combo, QStringLiteral("23"));
        QCOMPARE(f.field("Kind")->asString(), QStringLiteral("12")); // the field's width
        combo->setCurrentIndex(3);
        QCOMPARE(f.field("Kind")->asString(), QStringLiteral("10"));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        QVERIFY(f.field("Paid")->asBoolean());
        type(memo, QStringLiteral("Оплата"));
        QCOMPARE(f.field("Note")->asString(), QStringLiteral("Оплата"));
        f.orders.post();

        f.add(QStringLiteral("B"), 2, {}, false);
        QCOMPARE(combo->currentText(), QString());
        QVERIFY(!check->isChecked());
        QCOMPARE(memo->text(), QString());
        f.orders.first();
        QCOMPARE(combo->currentText(), QStringLiteral("10"));
        QCOMPARE(combo->currentIndex(), 3);
        QVERIFY(check->isChecked());
        QCOMPARE(memo->text(), QStringLiteral("Оплата"));
    }

    void listFollowsTableAndBack()
    {
        Fixture f;
        f.add(QStringLiteral("Петров"), 3, {}, true);
        f.add(QStringLiteral("Иванов"), 1);
        f.add(QStringLiteral("Сидоров"), 2);
        DbListView v;
        QPixmap red(8, 8), blue(8, 8);
        red.fill(Qt::red);
        blue.fill(Qt::blue);
        v.setColumns({DbListColumn::picture(QStringLiteral("Paid"), QStringLiteral(" "), 22, QIcon(red),
                                            QStringLiteral("Распечатано"), QIcon(blue), QStringLiteral("Новое")),
                      DbListColumn::text(QStringLiteral("Num"), QStringLiteral("Номер"), 47, Qt::AlignRight),
                      DbListColumn::text(QStringLiteral("Name"), QStringLiteral("Имя"), 201)});
        v.setDataSource(&f.ordersSource);
        v.resize(540, 300);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        DbTableModel *m = v.tableModel();
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Номер"));
        QCOMPARE(m->data(m->index(0, 1)).toString(), QStringLiteral("1,00")); // the display format
        QCOMPARE(m->data(m->index(2, 0), Qt::ToolTipRole).toString(), QStringLiteral("Распечатано"));
        QCOMPARE(m->data(m->index(0, 0), Qt::ToolTipRole).toString(), QStringLiteral("Новое"));
        // The columns share the width in the proportions of their widths.
        const int w0 = v.horizontalHeader()->sectionSize(0), w2 = v.horizontalHeader()->sectionSize(2);
        QCOMPARE(w0 + v.horizontalHeader()->sectionSize(1) + w2, v.viewport()->width());
        QVERIFY(qAbs(w2 * 22 - w0 * 201) <= 201 + 22);

        f.orders.setRecNo(2);
        QCOMPARE(v.currentIndex().row(), 1);
        QVERIFY(v.selectionModel()->isRowSelected(1, QModelIndex()));
        v.setFocus();
        QTest::keyClick(&v, Qt::Key_Down);
        QCOMPARE(f.orders.recNo(), 3);
        QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(m->index(0, 2)).center());
        QCOMPARE(f.orders.recNo(), 1);

        // Painting reads rows in place: a pending edit stays pending.
        f.orders.setRecNo(2);
        f.orders.edit();
        f.field("Name")->setValue(QStringLiteral("Новиков"));
        v.viewport()->grab();
        QCOMPARE(f.orders.state(), DbTable::Edit);
        QCOMPARE(f.orders.recNo(), 2);
        f.orders.post();
        QCOMPARE(m->data(m->index(1, 2)).toString(), QStringLiteral("Новиков"));

        // New rows and a reopen reset the list.
        f.add(QStringLiteral("Орлов"), 12);
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(v.currentIndex().row(), 3);
        f.orders.close();
        QCOMPARE(m->rowCount(), 0);
        f.orders.open();
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(v.currentIndex().row(), 0);

        QSignalSpy enter(&v, &DbListView::enterPressed), doubled(&v, &DbListView::rowDoubleClicked);
        QTest::keyClick(&v, Qt::Key_Return);
        QTest::mouseDClick(v.viewport(), Qt::LeftButton, {}, v.visualRect(m->index(1, 1)).center());
        QCOMPARE(enter.size(), 1);
        QCOMPARE(doubled.size(), 1);
    }

    void incrementalSearch()
    {
        Fixture f;
        f.add(QStringLiteral("Петров"), 3);
        f.add(QStringLiteral("Иванов"), 1);
        f.add(QStringLiteral("Сидоров"), 2);
        f.add(QStringLiteral("петрушин"), 4);
        f.add(QStringLiteral("Орлов"), 12);
        f.orders.first();
        DbListView v;
        v.setColumns({DbListColumn::text(QStringLiteral("Num"), QStringLiteral("Номер"), 50),
                      DbListColumn::text(QStringLiteral("Name"), QStringLiteral("Имя"), 200)});
        v.setDataSource(&f.ordersSource);
        v.setSearchTimeout(150);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.setFocus();
        v.setCurrentIndex(v.tableModel()->index(0, 1)); // the name column

        type(&v, QStringLiteral("п"));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Петров"));
        type(&v, QStringLiteral("етру"));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("петрушин"));
        type(&v, QStringLiteral("z")); // finds nothing: dropped
        QCOMPARE(v.searchText(), QStringLiteral("петру"));
        QCOMPARE(f.orders.recNo(), 4);

        QTest::qWait(250); // a pause starts a new search, from the current row on, wrapping
        type(&v, QStringLiteral("с"));
        QCOMPARE(v.searchText(), QStringLiteral("с"));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Сидоров"));

        // The number column, as shown.
        QTest::qWait(250);
        v.setCurrentIndex(v.tableModel()->index(f.orders.recNo() - 1, 0));
        type(&v, QStringLiteral("12"));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Орлов"));

        // The key column goes through the engine's search.
        f.orders.setIndexFieldNames(QStringLiteral("Name"));
        QTest::qWait(250);
        v.setCurrentIndex(v.tableModel()->index(0, 1));
        type(&v, QStringLiteral("ор"));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Орлов"));
        QCOMPARE(v.currentIndex().row(), f.orders.recNo() - 1);
        QVERIFY(!v.search(QStringLiteral("Я"), 1));
        QCOMPARE(f.field("Name")->asString(), QStringLiteral("Орлов"));
    }

    void hundredThousandRowsAreNotLoaded()
    {
        Fixture f;
        f.orders.startTransaction();
        for (int i = 0; i < 100000; ++i)
            f.orders.appendRecord({QStringLiteral("N%1").arg(i), double(i)});
        f.orders.commit();
        f.orders.first();

        DbListView v;
        auto *m = new CountingModel;
        v.setTableModel(m);
        v.setColumns({DbListColumn::text(QStringLiteral("Num"), QStringLiteral("Номер"), 50),
                      DbListColumn::text(QStringLiteral("Name"), QStringLiteral("Имя"), 200)});
        v.setDataSource(&f.ordersSource);
        v.resize(600, 400);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QCoreApplication::processEvents();
        QCOMPARE(m->rowCount(), 100000);
        QVERIFY2(m->calls < 3000, qPrintable(QString::number(m->calls)));

        m->calls = 0;
        f.orders.last();
        QCoreApplication::processEvents();
        v.viewport()->repaint();
        QCOMPARE(v.currentIndex().row(), 99999);
        QCOMPARE(m->data(m->index(99999, 1), Qt::DisplayRole).toString(), QStringLiteral("N99999"));
        QVERIFY2(m->calls < 3000, qPrintable(QString::number(m->calls)));
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
