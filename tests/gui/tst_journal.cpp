#include "Clock.h"
#include "DataUnit.h"
#include "DbControls.h"
#include "DbDateEdit.h"
#include "DbListView.h"
#include "DbMaintenance.h"
#include "FolderCopy.h"
#include "GuiSeams.h"
#include "PayEdit.h"
#include "PaySelect.h"
#include "RegWorksUnit.h"
#include "Setting.h"
#include "TableDefs.h"
#include "TestSupport.h"
#include "Version.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QDate kToday(2024, 3, 31);

using Fields = QList<QPair<QString, QVariant>>;

// A journal with its editor and settings dialog on a database made from the
// template, opened by the open sequence as at start-up.
struct Journal {
    ScopedSettings settings;
    InstantWaits waits;
    QTemporaryDir dir;
    std::unique_ptr<TDataBase1> data;
    std::unique_ptr<TPaySelectForm> form;
    TPayEditForm *editor = nullptr;
    TSettingForm *setting = nullptr;

    explicit Journal(int nextNumber = 41, int viewMode = 0)
    {
        FolderCopy::copyPlainFiles(qEnvironmentVariable("KV_BIN_DIR") + QStringLiteral("/EmptyDB"), dir.path() + QLatin1Char('/'));
        RegWriteString(QStringLiteral("DataBasePath"), dir.path() + QLatin1Char('/'));
        RegWriteInteger(QStringLiteral("EditPayNextNumber"), nextNumber);
        RegWriteInteger(QStringLiteral("PayTableViewMode"), viewMode);
        form = std::make_unique<TPaySelectForm>();
        data = std::make_unique<TDataBase1>();
        DbMaintenance::install(*data);
        form->bindData(*data);
        editor = new TPayEditForm(form.get());
        setting = new TSettingForm(form.get());
    }
    ~Journal()
    {
        Modal::setHook({});
        form.reset(); // the windows go before the data module
        data.reset();
    }
    void open() { data->CreateDataBaseAndOpenAllTable(); }
    DbTable &pays() { return data->PaysTable; }
    DbField *f(const char *name) { return pays().fieldByName(QString::fromLatin1(name)); }

    void addOrder(double num, const Fields &fields = {})
    {
        pays().append();
        pays().fieldByName(QStringLiteral("Num"))->setAsFloat(num);
        pays().fieldByName(QStringLiteral("Date"))->setAsDate(kToday);
        pays().fieldByName(QStringLiteral("GridKey"))->setAsString(TableDefs::newGridKey());
        for (const auto &[name, value] : fields)
            pays().fieldByName(name)->setValue(value);
        pays().post();
    }

    // The editor answers as the user would: `fill` types, then OK or Отмена.
    void answerEditor(bool ok, std::function<void(TPayEditForm &)> fill = {})
    {
        Modal::setHook([this, ok, fill](QDialog *d) {
            if (d != editor)
                return int(QDialog::Rejected);
            if (fill)
                fill(*editor);
            if (!ok)
                return int(QDialog::Rejected);
            editor->OkButton->click();
            return editor->result();
        });
    }
    int stored() { return RegReadInteger(QStringLiteral("EditPayNextNumber"), -1); }
};

QAction *actionNamed(QWidget &w, const char *name)
{
    auto *a = w.findChild<QAction *>(QString::fromLatin1(name));
    if (!a)
        qFatal("no action %s", name);
    return a;
}

// Gives the editor the focus of a real window, so that entering and leaving
// its boxes happens as it does for the user.
void showActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
}

} // namespace

class TestJournal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Clock::setNow(QDateTime(kToday, QTime(10, 0))); }
    void cleanup()
    {
        Clock::reset();
        TPaySelectForm::openFolderHook = [](const QUrl &) { return true; };
    }

    // ---- Journal ----------------------------------------------------------

    void windowCaptionAndLayout()
    {
        ScopedSettings s;
        {
            TPaySelectForm form;
            QCOMPARE(form.windowTitle(), QStringLiteral("Квитон " KV_VERSION_STRING ". Cправочник банков от:  - - "));
            const QString title = form.windowTitle();
            QCOMPARE(title.at(title.indexOf(QStringLiteral("правочник")) - 1), QLatin1Char('C')); // Latin, not Cyrillic С
            QCOMPARE(form.size(), QSize(761, 460)); // the design height is below the minimum
            form.resize(600, 400);
            QCOMPARE(form.size(), QSize(638, 460));
            QCOMPARE(form.property("helpTopic").toInt(), 1000);
            QCOMPARE(form.StatusPanel->text(), QStringLiteral("INS - Добавить, Del - Удалить,  ENTER - Открыть"));
            QVERIFY(form.StatusPanel->width() >= 300);
        }
        RegWriteString(QStringLiteral("BnkSprDate"), QStringLiteral("01.02.2024"));
        RegWriteInteger(QStringLiteral("BnkSprVer"), 17);
        TPaySelectForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Квитон " KV_VERSION_STRING ". Cправочник банков от: 01.02.2024"));
        QCOMPARE(QGuiApplication::applicationDisplayName(), form.windowTitle());
        QCOMPARE(form.bankDirVersion(), 17);
        form.setBankDirectory(18, QStringLiteral("05.03.2024"));
        QVERIFY(form.windowTitle().endsWith(QStringLiteral("от: 05.03.2024")));
    }

    void placementIsRemembered()
    {
        ScopedSettings s;
        {
            TPaySelectForm form;
            form.show();
            form.setGeometry(40, 60, 900, 600);
            form.close();
        }
        QVERIFY(!RegReadString(TPaySelectForm::placementSetting(), QString()).isEmpty());
        TPaySelectForm again;
        QCOMPARE(again.size(), QSize(900, 600));
        // A damaged value is ignored.
        RegWriteString(TPaySelectForm::placementSetting(), QStringLiteral("garbage"));
        TPaySelectForm third;
        QCOMPARE(third.size(), QSize(761, 460));
    }

    void toolBarAndMenus()
    {
        Journal j;
        struct B { const char *name, *caption, *hint; };
        const B buttons[] = {
            {"AddNewButton", "Создать", "Создать новое \r\nплатежное поручение"},
            {"EditButton", "Изменить", "Изменить выбранное \r\nплатежное поручение"},
            {"AddCopyButton", "Копировать", "Создать новое \r\nплатежное поручение,\r\nаналогичное выбранному"},
            {"DelButton", "Удалить", "Удалить выбранное \r\nплатежное поручение"},
            {"ReportButton", "Реестр", "Формировать реестр\r\nплатежных поручений"},
            {"PreviewButton", "Просмотр", "Предварительный промотр \r\nвыбранного платежного поручения"},
            {"PrintButton", "Печать", "Печать выбранного \r\nплатежного поручения"},
            {"OptionsButton", "Настройки", "Настройки программы "},
            {"ExitButton", "Выход", "Завершить работу с программой"},
        };
        QStringList order;
        for (QAction *a : j.form->ToolBar->actions())
            if (auto *b = qobject_cast<QToolButton *>(j.form->ToolBar->widgetForAction(a)))
                order << b->objectName();
            else if (a->isSeparator())
                order << QStringLiteral("|");
        QCOMPARE(order.join(QLatin1Char(' ')), QStringLiteral("AddNewButton EditButton AddCopyButton DelButton | ReportButton "
                                                             "PreviewButton PrintButton | OptionsButton ExitButton"));
        for (const B &b : buttons) {
            auto *w = j.form->findChild<QToolButton *>(QString::fromLatin1(b.name));
            QCOMPARE(w->text(), QString::fromUtf8(b.caption));
            QCOMPARE(w->property("hint").toString(), QString::fromUtf8(b.hint));
            QCOMPARE(w->toolTip(), QString::fromUtf8(b.hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            QCOMPARE(w->size(), QSize(67, 36));
        }
        QStringList menus;
        for (QAction *m : j.form->menuBar()->actions())
            menus << m->text();
        QCOMPARE(menus, (QStringList{QStringLiteral("Платежное поручение"), QStringLiteral("Вид"), QStringLiteral("Печать"),
                                     QStringLiteral("Сервис")}));
        const QPair<const char *, int> help[] = {{"AddNewMenu", 1010}, {"EditMenu1", 1020}, {"CopyMenu", 1030},
                                                 {"DelMenu1", 1040}, {"PrintMenu1", 1060}};
        for (const auto &[name, topic] : help)
            QCOMPARE(actionNamed(*j.form, name)->property("helpTopic").toInt(), topic);
        QCOMPARE(actionNamed(*j.form, "AddMenu")->shortcut(), QKeySequence(Qt::Key_Insert));
        QCOMPARE(actionNamed(*j.form, "DelMenu")->shortcut(), QKeySequence(Qt::Key_Delete));
    }

    // The database opens 300 ms after the first showing, once.
    void startUpTimerOpensTheDatabaseOnce()
    {
        Journal j;
        j.form->show();
        QTimer *timer = j.form->DataBaseOpenTimer();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 300);
        auto *stack = qobject_cast<QStackedWidget *>(j.form->centralWidget());
        QCOMPARE(stack->currentWidget(), j.form->LoadingLabel);
        QCOMPARE(j.form->LoadingLabel->text(), QStringLiteral("Загрузка данных..."));
        QVERIFY(!j.pays().active());
        QTRY_VERIFY(j.pays().active());
        QVERIFY(!timer->isActive());
        QCOMPARE(stack->currentWidget(), j.form->PaySelectDBGrid1);
        // Coming back from a modal window is a new activation, not a new opening.
        j.data->CloseAllTable();
        j.form->hide();
        j.form->show();
        j.form->activateWindow();
        QVERIFY(!timer->isActive());
        QVERIFY(!j.pays().active());
    }

    void listShowsTheViewWithTheLastOrderCurrent()
    {
        Journal j;
        j.open();
        j.addOrder(7, {{"Sum", 1180.0}, {"Print", true}, {"Dest", QStringLiteral("за\nуслуги")}});
        j.addOrder(3);
        j.data->CloseAllTable();
        j.open();
        DbTableModel *m = j.form->PaySelectDBGrid1->tableModel();
        QCOMPARE(m->rowCount(), 2);
        QStringList captions;
        for (int c = 0; c < m->columnCount(); ++c)
            captions << m->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(captions, (QStringList{QStringLiteral(" "), QStringLiteral("Номер"), QStringLiteral("Дата"), QStringLiteral("Сумма"),
                                        QStringLiteral("Плательщик"), QStringLiteral("Получатель"),
                                        QStringLiteral("Назначение платежа")}));
        QCOMPARE(m->cellText(1, 1), QStringLiteral("7")); // Num order
        QCOMPARE(m->cellText(1, 3), QStringLiteral("1180,00"));
        QCOMPARE(m->cellText(1, 6), QStringLiteral("за услуги"));
        QCOMPARE(m->data(m->index(1, 0), Qt::ToolTipRole).toString(), QStringLiteral("Распечатано"));
        QCOMPARE(m->data(m->index(0, 0), Qt::ToolTipRole).toString(), QStringLiteral("Новое ПП"));
        QCOMPARE(j.form->PaySelectDBGrid1->currentIndex().row(), 1);
    }

    void newOrderNumbering()
    {
        Journal j(41);
        j.open();
        bool shownInserting = false;
        j.answerEditor(false, [&](TPayEditForm &) { shownInserting = j.pays().state() == DbTable::Insert; });
        j.form->AddButtonClick();
        QVERIFY(shownInserting);
        QCOMPARE(j.stored(), 42); // used up although cancelled
        QCOMPARE(j.pays().recordCount(), 0);
        QCOMPARE(j.pays().state(), DbTable::Browse);

        QString rateShown;
        j.answerEditor(true, [&](TPayEditForm &e) { rateShown = e.NDSEdit->text(); });
        j.form->AddButtonClick();
        QCOMPARE(j.stored(), 43);
        QCOMPARE(j.setting->payNextNumber(), 43);
        QCOMPARE(j.pays().recordCount(), 1);
        QCOMPARE(j.f("Num")->asFloat(), 43.0);
        QCOMPARE(j.f("Date")->asDate(), kToday);
        QCOMPARE(j.f("OpType")->asString(), QStringLiteral("01"));
        QCOMPARE(j.f("Print")->asBoolean(), false);
        QCOMPARE(j.f("GridKey")->asString().size(), 25);
        QCOMPARE(rateShown, QStringLiteral("0")); // an empty rate is shown as "0"
        QCOMPARE(j.f("NDSStr")->asString(), QString()); // and the VAT line stays empty
    }

    void keyViolationOnNewDropsTheRow()
    {
        Journal j;
        j.open();
        TableDefs::seedRandom(99);
        j.addOrder(1); // takes the key the next new order will get
        TableDefs::seedRandom(99);
        PromptScript prompts;
        j.answerEditor(true);
        j.form->AddButtonClick();
        QCOMPARE(prompts.texts(),
                 QStringList{QStringLiteral("Точно такая же платежка уже есть в списке. Копия - удалена... Key violation.")});
        QCOMPARE(j.pays().recordCount(), 1);
        QCOMPARE(j.pays().state(), DbTable::Browse);
        QCOMPARE(j.f("Num")->asFloat(), 1.0);
    }

    void copyOrder_data()
    {
        QTest::addColumn<double>("printCount");
        QTest::addColumn<double>("copied");
        QTest::newRow("2.6") << 2.6 << 3.0;
        QTest::newRow("a half goes to the even neighbour: 2.5") << 2.5 << 2.0;
        QTest::newRow("3.5") << 3.5 << 4.0;
    }
    void copyOrder()
    {
        QFETCH(double, printCount);
        QFETCH(double, copied);
        Journal j(41);
        j.open();
        j.addOrder(5, {{"Sum", 120.5}, {"Payer", QStringLiteral("ООО Ромашка")}, {"Getter", QStringLiteral("АО Лютик")},
                       {"Dest", QStringLiteral("за товар")}, {"NDS", 20.0}, {"NDSStr", QStringLiteral("в т.ч. НДС 20% - 20-08")},
                       {"PDate", TPayEditForm::zeroDocDate()}, {"PrintCount", printCount}, {"Print", true},
                       {"Date", QDate(2023, 1, 2)}, {"UIN", QStringLiteral("0")}, {"OchPay", QStringLiteral("5")}});
        const QString sourceKey = j.f("GridKey")->asString();
        QString docDateShown;
        j.answerEditor(true, [&](TPayEditForm &e) { docDateShown = e.PDateEdit->text(); });
        j.form->AddCopyButtonClick();
        QCOMPARE(j.pays().recordCount(), 2);
        QCOMPARE(j.stored(), 42);
        QCOMPARE(docDateShown, QStringLiteral("0 .  .    "));
        QCOMPARE(j.f("Num")->asFloat(), 42.0); // the copy is current
        QCOMPARE(j.f("PrintCount")->asFloat(), copied);
        QCOMPARE(j.f("Print")->asBoolean(), false);
        QCOMPARE(j.f("Date")->asDate(), kToday);
        QVERIFY(j.f("GridKey")->asString() != sourceKey);
        QCOMPARE(j.f("GridKey")->asString().size(), 25);
        QCOMPARE(j.f("Sum")->asFloat(), 120.5);
        QCOMPARE(j.f("Payer")->asString(), QStringLiteral("ООО Ромашка"));
        QCOMPARE(j.f("Getter")->asString(), QStringLiteral("АО Лютик"));
        QCOMPARE(j.f("Dest")->asString(), QStringLiteral("за товар"));
        QCOMPARE(j.f("NDSStr")->asString(), QStringLiteral("в т.ч. НДС 20% - 20-08"));
        QCOMPARE(j.f("OchPay")->asString(), QStringLiteral("5"));
        QCOMPARE(j.f("PDate")->asDate(), TPayEditForm::zeroDocDate()); // the "0" survives OK
        QVERIFY(j.f("PayDate")->isNull()); // an empty date stays empty
        QVERIFY(j.f("OpType")->isNull());

        j.answerEditor(false);
        j.form->AddCopyButtonClick();
        QCOMPARE(j.pays().recordCount(), 2);
        QCOMPARE(j.stored(), 43);
    }

    void changeClearsThePrintedMark()
    {
        Journal j;
        j.open();
        j.addOrder(5, {{"Print", true}, {"Sum", 10.0}, {"PDate", TPayEditForm::zeroDocDate()}});
        // Cancel leaves the order as it was.
        j.answerEditor(false, [&](TPayEditForm &e) { e.SumEdit->setText(QStringLiteral("99")); });
        j.form->ChButtonClick();
        QCOMPARE(j.pays().state(), DbTable::Browse);
        QCOMPARE(j.f("Print")->asBoolean(), true);
        QCOMPARE(j.f("Sum")->asFloat(), 10.0);
        // OK without any change still clears it.
        QString docDateShown;
        bool editing = false;
        j.answerEditor(true, [&](TPayEditForm &e) {
            docDateShown = e.PDateEdit->text();
            editing = j.pays().state() == DbTable::Edit;
        });
        j.form->ChButtonClick();
        QVERIFY(editing);
        QCOMPARE(docDateShown, QStringLiteral("0 .  .    "));
        QCOMPARE(j.pays().state(), DbTable::Browse);
        QCOMPARE(j.f("Print")->asBoolean(), false);
        QCOMPARE(j.f("PDate")->asDate(), TPayEditForm::zeroDocDate());
        QCOMPARE(j.pays().recordCount(), 1);
        QCOMPARE(j.stored(), 41); // no number taken
    }

    void openShowsTheOrderWithoutEditing()
    {
        Journal j;
        showActive(*j.form);
        QTRY_VERIFY(j.pays().active()); // opened by the start-up timer
        j.addOrder(5, {{"Print", true}});
        DbTable::State seen = DbTable::Inactive;
        j.answerEditor(true, [&](TPayEditForm &) { seen = j.pays().state(); });
        j.form->PaySelectDBGrid1->setFocus();
        QTest::keyClick(j.form->PaySelectDBGrid1, Qt::Key_Return);
        QCOMPARE(seen, DbTable::Browse);
        QCOMPARE(j.pays().state(), DbTable::Browse);
        QCOMPARE(j.f("Print")->asBoolean(), true);
        QVERIFY(j.form->PaySelectDBGrid1->hasFocus());
        // Ins in the list is New order, Del is Delete.
        j.answerEditor(false);
        QTest::keyClick(j.form->PaySelectDBGrid1, Qt::Key_Insert);
        QCOMPARE(j.stored(), 42);
        PromptScript prompts;
        prompts.answer(Prompt::Yes);
        QTest::keyClick(j.form->PaySelectDBGrid1, Qt::Key_Delete);
        QCOMPARE(j.pays().recordCount(), 0);
    }

    void deleteAsksAndAnEmptyJournalDoesNothing()
    {
        Journal j;
        j.open();
        PromptScript prompts;
        j.form->DelButtonClick();
        j.answerEditor(true);
        j.form->ChButtonClick();      // would add a blank order
        j.form->AddCopyButtonClick(); // would use up a number
        QVERIFY(prompts.shown().isEmpty());
        QCOMPARE(j.pays().recordCount(), 0);
        QCOMPARE(j.stored(), 41);

        j.addOrder(1);
        j.addOrder(2);
        prompts.answer(Prompt::No);
        j.form->DelButtonClick();
        QCOMPARE(j.pays().recordCount(), 2);
        const Prompt::Request &q = prompts.shown().at(0);
        QCOMPARE(q.caption, QStringLiteral("Удаление"));
        QCOMPARE(q.text, QStringLiteral("Вы действительно хотите удалить выбранное платежное поручение? "));
        QCOMPARE(q.buttons, Prompt::Yes | Prompt::No);
        QCOMPARE(q.icon, Prompt::Warning);
        prompts.answer(Prompt::Yes);
        j.form->DelButtonClick();
        QCOMPARE(j.pays().recordCount(), 1);
        QCOMPARE(j.f("Num")->asFloat(), 1.0);
    }

    void viewCommandsAndTheirMarks()
    {
        Journal j(41, 2);
        const auto marks = [&] {
            return QString::fromLatin1("%1%2%3")
                .arg(int(actionNamed(*j.form, "ViewAll")->isChecked()))
                .arg(int(actionNamed(*j.form, "ViewYear")->isChecked()))
                .arg(int(actionNamed(*j.form, "ViewMonth")->isChecked()));
        };
        QCOMPARE(marks(), QStringLiteral("000")); // nothing marked before the stored view is applied
        j.open();
        QCOMPARE(marks(), QStringLiteral("001"));
        QCOMPARE(j.data->viewMode(), 2);
        for (const QDate &d : {kToday, kToday.addMonths(-2), kToday.addYears(-2)})
            j.addOrder(d.month(), {{"Date", d}});
        DbTableModel *m = j.form->PaySelectDBGrid1->tableModel();
        const QPair<const char *, QPair<QString, int>> steps[] = {
            {"ViewYear", {QStringLiteral("010"), 2}}, {"ViewAll", {QStringLiteral("100"), 3}},
            {"ViewMonth", {QStringLiteral("001"), 1}}, {"ViewMonth", {QStringLiteral("001"), 1}}};
        for (const auto &[name, expected] : steps) {
            actionNamed(*j.form, name)->trigger();
            QCOMPARE(marks(), expected.first);
            QCOMPARE(m->rowCount(), expected.second);
        }
        j.data.reset();
        QCOMPARE(RegReadInteger(QStringLiteral("PayTableViewMode"), -1), 2);
    }

    void backupFolderInTheFileManager()
    {
        Journal j;
        QUrl opened;
        TPaySelectForm::openFolderHook = [&](const QUrl &url) {
            opened = url;
            return true;
        };
        actionNamed(*j.form, "MenuOpenBC")->trigger();
        QCOMPARE(QDir(opened.toLocalFile()).canonicalPath(), QDir(j.dir.path()).canonicalPath());
    }

    void settingsButtonShowsTheDialog()
    {
        Journal j;
        QList<QDialog *> shown;
        Modal::setHook([&](QDialog *d) {
            shown << d;
            return int(QDialog::Rejected);
        });
        j.form->findChild<QToolButton *>(QStringLiteral("OptionsButton"))->click();
        QCOMPARE(shown, QList<QDialog *>{j.setting});
    }

    // ---- Editor -----------------------------------------------------------

    void editorWindowAndTabOrder()
    {
        Journal j;
        TPayEditForm &e = *j.editor;
        QCOMPARE(e.windowTitle(), QStringLiteral("Редактирование платежного поручения"));
        QCOMPARE(e.size(), QSize(622, 494));
        QCOMPARE(e.minimumSize(), e.maximumSize());
        QCOMPARE(e.property("helpTopic").toInt(), 2000);
        QVERIFY(!(e.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint)));
        QVERIFY(e.OkButton->isDefault());
        QCOMPARE(e.OkButton->text(), QStringLiteral("&OK"));
        QCOMPARE(e.findChild<QStatusBar *>()->findChild<QLabel *>()->text(),
                 QStringLiteral("Используйте Tab для перемещения по полям. F1 - помощь по текущему полю"));

        const QPair<const char *, int> order[] = {
            {"PostDateEdit", 2010}, {"SpisDateEdit", 2020}, {"YStateEdit", 2030}, {"NumEdit", 2040}, {"DateEdit", 2050},
            {"SumEdit", 2060}, {"PayTypeEdit", 2070}, {"OpTypeEdit", 2080}, {"OchPayEdit", 2090}, {"PayDateEdit", 2100},
            {"DBEditNpl", 4020}, {"UinDBEdit", 4020}, {"PayerEdit", 2110}, {"GetterEdit", 2110}, {"CBCEdit", 2120},
            {"OCATOEdit", 2130}, {"OsnPEEdit", 2140}, {"NPerEdit", 2150}, {"PNDocEdit", 2160}, {"PDateEdit", 2170},
            {"PTypeEdit", 2180}, {"DestEdit", 2190}, {"NDSEdit", 2200}, {"NDSStrEdit", 2210}};
        QStringList expected, chain;
        for (const auto &[name, topic] : order) {
            expected << QString::fromLatin1(name);
            QCOMPARE(e.findChild<QWidget *>(QString::fromLatin1(name))->property("helpTopic").toInt(), topic);
        }
        // The date boxes hand the focus to their line edits: walk by owner.
        const auto owner = [&](QWidget *w) -> QString {
            for (; w && w != &e; w = w->parentWidget())
                if (expected.contains(w->objectName()))
                    return w->objectName();
            return QString();
        };
        QWidget *w = e.PostDateEdit->lineEdit();
        for (int i = 0; i < 300 && chain.size() < expected.size(); ++i, w = w->nextInFocusChain()) {
            const QString name = owner(w);
            if (!name.isEmpty() && (chain.isEmpty() || chain.last() != name) && (w->focusPolicy() & Qt::TabFocus))
                chain << name;
        }
        QCOMPARE(chain, expected);

        QCOMPARE(e.YStateEdit->count(), 33);
        QCOMPARE(e.YStateEdit->itemText(32), QStringLiteral("31"));
        QCOMPARE(e.PayTypeEdit->itemText(3), QStringLiteral("электронно"));
        QCOMPARE(e.OsnPEEdit->count(), 29);
        QCOMPARE(e.OsnPEEdit->itemText(28), QStringLiteral("00"));
        QCOMPARE(e.PTypeEdit->count(), 10);
        QCOMPARE(e.PTypeEdit->itemText(9), QStringLiteral("ВЗ"));
    }

    void focusOnActivation()
    {
        Journal j;
        j.open();
        j.addOrder(1);
        j.pays().edit();
        showActive(*j.editor);
        j.editor->SumEdit->setFocus(Qt::TabFocusReason);
        QVERIFY(j.editor->amountOrRateFocused());
        j.editor->hide();
        showActive(*j.editor);
        QVERIFY(!j.editor->amountOrRateFocused());
        QCOMPARE(j.editor->focusWidget(), j.editor->PostDateEdit->lineEdit());
        j.editor->hide();
        j.pays().cancel();
    }

    // The other box is filled first (no rule runs then), and the user then
    // enters the box named and puts the text in.
    void vatLine_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<bool>("typeRate"); // false: the amount is typed
        QTest::addColumn<QString>("line");  // empty: the line stays as it was
        const QString keep;
        QTest::newRow("1180 at 18") << "1180" << "18" << true << "в т.ч. НДС 18% - 180-00";
        QTest::newRow("120 at 20, amount typed") << "120" << "20" << false << "в т.ч. НДС 20% - 20-00";
        QTest::newRow("rate 0") << "120" << "0" << false << "НДС не облагается.";
        QTest::newRow("0,59 at 18: kopecks only") << "0,59" << "18" << false << "в т.ч. НДС 18% - 00-09";
        QTest::newRow("a decimal point") << "0.59" << "18" << false << "в т.ч. НДС 18% - 00-09";
        QTest::newRow("the rate as typed") << "1180" << "18,0" << true << "в т.ч. НДС 18,0% - 180-00";
        QTest::newRow("empty amount") << "" << "18" << true << keep;
        QTest::newRow("amount not a number") << "12а" << "18" << false << keep;
        QTest::newRow("rate not a number") << "500" << "1x" << true << keep;
        QTest::newRow("rate -100") << "500" << "-100" << true << keep;
    }
    void vatLine()
    {
        QFETCH(QString, amount);
        QFETCH(QString, rate);
        QFETCH(bool, typeRate);
        QFETCH(QString, line);
        Journal j;
        j.open();
        PromptScript prompts;
        QString shown;
        j.answerEditor(true, [&](TPayEditForm &e) {
            showActive(e);
            e.NDSStrEdit->setText(QStringLiteral("прежняя строка"));
            DbEdit *first = typeRate ? e.SumEdit : e.NDSEdit;
            DbEdit *typed = typeRate ? e.NDSEdit : e.SumEdit;
            first->setText(typeRate ? amount : rate);
            QCOMPARE(e.NDSStrEdit->text(), QStringLiteral("прежняя строка"));
            typed->setFocus(Qt::TabFocusReason);
            typed->setText(typeRate ? rate : amount);
            shown = e.NDSStrEdit->text();
            e.hide();
        });
        j.form->AddButtonClick();
        QCOMPARE(shown, line.isEmpty() ? QStringLiteral("прежняя строка") : line);
        QCOMPARE(prompts.shown().size(), line.isEmpty() ? 1 : 0); // reported, and the edit goes on
        QCOMPARE(j.pays().recordCount(), 1);
    }

    void vatLineFollowsTheSettingsInEffect()
    {
        Journal j;
        j.open();
        j.setting->findChild<QComboBox *>(QStringLiteral("SumWithKopSelect"))->setCurrentIndex(1);
        j.setting->findChild<QLineEdit *>(QStringLiteral("NoNDSEdit"))->setText(QStringLiteral("Без НДС"));
        QStringList lines;
        j.answerEditor(true, [&](TPayEditForm &e) {
            e.NDSEditEnter();
            e.SumEdit->setText(QStringLiteral("1180"));
            e.NDSEdit->setText(QStringLiteral("18"));
            lines << e.NDSStrEdit->text();
            e.NDSEdit->setText(QStringLiteral("0"));
            lines << e.NDSStrEdit->text();
            e.NDSEdit->clear(); // an emptied rate becomes "0" again
            lines << e.NDSEdit->text();
        });
        j.form->AddButtonClick();
        QCOMPARE(lines, (QStringList{QStringLiteral("в т.ч. НДС 18% - 180="), QStringLiteral("Без НДС"), QStringLiteral("0")}));
        QCOMPARE(j.f("NDSStr")->asString(), QStringLiteral("Без НДС"));
        QCOMPARE(j.f("NDS")->asFloat(), 0.0);
    }

    // Showing an order never rewrites its VAT line.
    void loadingARowKeepsItsVatLine()
    {
        Journal j;
        j.open();
        j.addOrder(1, {{"Sum", 1180.0}, {"NDS", 18.0}, {"NDSStr", QStringLiteral("как было")}});
        j.addOrder(2, {{"Sum", 50.0}, {"NDSStr", QStringLiteral("без ставки")}});
        j.answerEditor(true);
        j.pays().first();
        j.form->ChButtonClick();
        j.pays().last();
        j.form->ChButtonClick();
        j.pays().first();
        QCOMPARE(j.f("NDSStr")->asString(), QStringLiteral("как было"));
        j.pays().last();
        QCOMPARE(j.f("NDSStr")->asString(), QStringLiteral("без ставки"));
        QCOMPARE(j.f("NDS")->asFloat(), 0.0); // the empty rate was shown, and stored, as 0
    }

    void documentDateZero_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("stored");
        QTest::newRow("0 alone") << "0" << TPayEditForm::zeroDocDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("complete") << "05032024" << QDate(2024, 3, 5);
        QTest::newRow("complete, with zeros") << "10102010" << QDate(2010, 10, 10);
    }
    void documentDateZero()
    {
        QFETCH(QString, typed);
        QFETCH(QDate, stored);
        Journal j;
        j.open();
        j.answerEditor(true, [&](TPayEditForm &e) {
            e.PDateEdit->lineEdit()->home(false);
            QTest::keyClicks(e.PDateEdit->lineEdit(), typed);
        });
        j.form->AddButtonClick();
        QCOMPARE(j.pays().recordCount(), 1);
        QCOMPARE(j.f("PDate")->asDate(), stored);
        QCOMPARE(j.f("PDate")->isNull(), !stored.isValid());
    }
};

QTEST_MAIN(TestJournal)
#include "tst_journal.moc"
