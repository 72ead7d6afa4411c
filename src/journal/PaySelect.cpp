#include "PaySelect.h"

#include "AppPaths.h"
#include "Clock.h"
#include "DataUnit.h"
#include "DbDateEdit.h"
#include "DbError.h"
#include "DbListView.h"
#include "GuiSeams.h"
#include "JournalIcons.h"
#include "KvError.h"
#include "PayEdit.h"
#include "PayRep.h"
#include "PrintForm.h"
#include "Prompt.h"
#include "RegWorksUnit.h"
#include "Setting.h"
#include "Settings.h"
#include "TableDefs.h"
#include "Version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <cmath>
#include <cstdio>

TPaySelectForm *PaySelectForm = nullptr;

std::function<bool(const QUrl &)> TPaySelectForm::openFolderHook = [](const QUrl &url) {
    return QDesktopServices::openUrl(url);
};

namespace {

constexpr int kMinWidth = 638;
constexpr int kMinHeight = 460;


DbTable *pays() { return DataBase1 ? &DataBase1->PaysTable : nullptr; }

bool hasRows(DbTable *t) { return t && t->active() && t->recordCount() > 0; }

using Prompt::guarded;

// The text of the failed post as the engine gives it.
QString postError(DbTable &t)
{
    try {
        t.post();
        return QString();
    } catch (const KvError &e) {
        return e.message().isEmpty() ? QStringLiteral(" ") : e.message();
    }
}

// The fields a copy takes over from the order it is made from.
const QStringList &copiedFields()
{
    static const QStringList fields = {
        QStringLiteral("Sum"),    QStringLiteral("PayType"), QStringLiteral("OpType"),   QStringLiteral("OchPay"),
        QStringLiteral("PayDate"), QStringLiteral("Payer"),  QStringLiteral("Getter"),   QStringLiteral("Dest"),
        QStringLiteral("NDS"),    QStringLiteral("NDSStr"),  QStringLiteral("CBC"),      QStringLiteral("OCATO"),
        QStringLiteral("OsnPe"),  QStringLiteral("NPer"),    QStringLiteral("PNdoc"),    QStringLiteral("PDate"),
        QStringLiteral("PostDate"), QStringLiteral("SpisDate"), QStringLiteral("PType"), QStringLiteral("YState"),
        QStringLiteral("PrintCount"), QStringLiteral("UIN"), QStringLiteral("Npl")};
    return fields;
}

} // namespace

QElapsedTimer &TPaySelectForm::processClock()
{
    static QElapsedTimer clock;
    return clock;
}

QString TPaySelectForm::captionFor(const QString &bankDirDate)
{
    // The "C" of "Cправочник" is a Latin letter, as it always was.
    return QStringLiteral("Квитон ") + QStringLiteral(KV_VERSION_STRING) + QStringLiteral(". Cправочник банков от: ")
           + bankDirDate;
}

TPaySelectForm::TPaySelectForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("PaySelectForm"));
    setProperty("helpTopic", 1000);
    if (!PaySelectForm)
        PaySelectForm = this;

    // FormCreate: the bank directory's version and date, the caption, the temporary folder.
    guarded([this] { m_bankDirVersion = Settings::readInteger(Settings::BnkSprVer); });
    m_bankDirDate = QStringLiteral(" - - ");
    guarded([this] { m_bankDirDate = Settings::readString(Settings::BnkSprDate); });
    setBankDirectory(m_bankDirVersion, m_bankDirDate);
    m_tempFolder = QDir::tempPath();

    buildActions();
    buildMenus();
    buildToolBar();
    buildList();

    StatusPanel = new QLabel(QStringLiteral("INS - Добавить, Del - Удалить,  ENTER - Открыть"), this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setMinimumWidth(300); // wider where the system font needs it
    statusBar()->addWidget(StatusPanel);

    setMinimumSize(kMinWidth, kMinHeight);
    resize(761, 441); // raised to the minimum height
    restorePlacement();

    m_openTimer.setObjectName(QStringLiteral("DataBaseOpenTimer"));
    m_openTimer.setInterval(300);
    m_openTimer.setSingleShot(true);
    connect(&m_openTimer, &QTimer::timeout, this, [this] { guarded([this] { DataBaseOpenTimerTimer(); }); });

    // Other copies of the program may write the same folder: look now and
    // then, while no window of ours is editing.
    m_peerTimer.setInterval(3000);
    connect(&m_peerTimer, &QTimer::timeout, this, [] {
        if (DataBase1 && DataBase1->PaysTable.active() && !QApplication::activeModalWidget())
            DataBase1->PaysTable.refreshIfChanged();
    });
    m_peerTimer.start();

    if (DataBase1)
        bindData(*DataBase1);
}

TPaySelectForm::~TPaySelectForm()
{
    if (PaySelectForm == this)
        PaySelectForm = nullptr;
}

QAction *TPaySelectForm::action(const char *name, const QString &text, void (TPaySelectForm::*slot)(), int helpTopic)
{
    auto *a = new QAction(text, this);
    a->setObjectName(QString::fromLatin1(name));
    if (helpTopic)
        a->setProperty("helpTopic", helpTopic);
    connect(a, &QAction::triggered, this, [this, slot] { guarded([this, slot] { (this->*slot)(); }); });
    return a;
}

void TPaySelectForm::buildActions()
{
    AddNewMenu = action("AddNewMenu", QStringLiteral("Создать новое"), &TPaySelectForm::AddButtonClick, 1010);
    EditMenu1 = action("EditMenu1", QStringLiteral("Изменить выбранное"), &TPaySelectForm::ChButtonClick, 1020);
    CopyMenu = action("CopyMenu", QStringLiteral("Копировать выбранное"), &TPaySelectForm::AddCopyButtonClick, 1030);
    DelMenu1 = action("DelMenu1", QStringLiteral("Удалить"), &TPaySelectForm::DelButtonClick, 1040);
    ViewAll = action("ViewAll", QStringLiteral("Все поручения"), &TPaySelectForm::ViewAllClick);
    ViewYear = action("ViewYear", QStringLiteral("Последний год"), &TPaySelectForm::ViewYearClick);
    ViewMonth = action("ViewMonth", QStringLiteral("Последний месяц"), &TPaySelectForm::ViewMonthClick);
    for (QAction *a : {ViewAll, ViewYear, ViewMonth})
        a->setCheckable(true); // none is marked until the stored view is applied
    PreviewMenu = action("PreviewMenu", QStringLiteral("Педпросмотр платежного поручения"), &TPaySelectForm::PreviewButtonClick);
    PrintMenu1 = action("PrintMenu1", QStringLiteral("Печать платежного поручения"), &TPaySelectForm::PrintButtonClick, 1060);
    SettingMenu = action("SettingMenu", QStringLiteral("Настройки"), &TPaySelectForm::OptionsButtonClick);
    MenuOpenBC = action("MenuOpenBC", QStringLiteral("Открыть папку с резервными копиями"), &TPaySelectForm::MenuOpenBCClick);

    // The list's pop-up menu; its keys work while the list has the focus.
    AddMenu = action("AddMenu", QStringLiteral("Добавить"), &TPaySelectForm::AddButtonClick);
    AddMenu->setShortcut(QKeySequence(Qt::Key_Insert));
    EditMenu = action("EditMenu", QStringLiteral("Изменить"), &TPaySelectForm::ChButtonClick);
    DelMenu = action("DelMenu", QStringLiteral("Удалить"), &TPaySelectForm::DelButtonClick);
    DelMenu->setShortcut(QKeySequence(Qt::Key_Delete));
    for (QAction *a : {AddMenu, EditMenu, DelMenu})
        a->setShortcutContext(Qt::WidgetShortcut);
}

void TPaySelectForm::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *orders = bar->addMenu(QStringLiteral("Платежное поручение"));
    orders->setObjectName(QStringLiteral("PayMenu"));
    orders->addActions({AddNewMenu, EditMenu1, CopyMenu, DelMenu1});
    QMenu *view = bar->addMenu(QStringLiteral("Вид"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    view->addActions({ViewAll, ViewYear, ViewMonth});
    QMenu *print = bar->addMenu(QStringLiteral("Печать"));
    print->setObjectName(QStringLiteral("PrintMenu"));
    print->addActions({PreviewMenu, PrintMenu1});
    QMenu *service = bar->addMenu(QStringLiteral("Сервис"));
    service->setObjectName(QStringLiteral("ServiceMenu"));
    service->addAction(SettingMenu);
    service->addSeparator();
    service->addAction(MenuOpenBC);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    PopupMenu->addActions({AddMenu, EditMenu, DelMenu});
}

void TPaySelectForm::buildToolBar()
{
    ToolBar = addToolBar(QStringLiteral("Панель инструментов"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu); // no menu to hide the tool bar
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    struct Button {
        const char *name;
        const char *caption;
        const char *hint;
        JournalIcons::Kind icon;
        void (TPaySelectForm::*command)();
    };
    const Button buttons[] = {
        {"AddNewButton", "Создать", "Создать новое \r\nплатежное поручение", JournalIcons::NewOrder, &TPaySelectForm::AddButtonClick},
        {"EditButton", "Изменить", "Изменить выбранное \r\nплатежное поручение", JournalIcons::EditOrder, &TPaySelectForm::ChButtonClick},
        {"AddCopyButton", "Копировать", "Создать новое \r\nплатежное поручение,\r\nаналогичное выбранному", JournalIcons::CopyOrder,
         &TPaySelectForm::AddCopyButtonClick},
        {"DelButton", "Удалить", "Удалить выбранное \r\nплатежное поручение", JournalIcons::DeleteOrder, &TPaySelectForm::DelButtonClick},
        {nullptr, nullptr, nullptr, JournalIcons::NewOrder, nullptr},
        {"ReportButton", "Реестр", "Формировать реестр\r\nплатежных поручений", JournalIcons::Register, nullptr},
        {"PreviewButton", "Просмотр", "Предварительный промотр \r\nвыбранного платежного поручения", JournalIcons::Preview,
         &TPaySelectForm::PreviewButtonClick},
        {"PrintButton", "Печать", "Печать выбранного \r\nплатежного поручения", JournalIcons::Print, &TPaySelectForm::PrintButtonClick},
        {nullptr, nullptr, nullptr, JournalIcons::NewOrder, nullptr},
        {"OptionsButton", "Настройки", "Настройки программы ", JournalIcons::Settings, &TPaySelectForm::OptionsButtonClick},
        {"ExitButton", "Выход", "Завершить работу с программой", JournalIcons::Exit, &TPaySelectForm::ExitButtonClick},
    };
    // The captions must fit the 67-pixel buttons: a wide system font is made smaller.
    QFont captionFont = ToolBar->font();
    for (const Button &b : buttons)
        while (b.name && captionFont.pointSizeF() > 6
               && QFontMetrics(captionFont).horizontalAdvance(QString::fromUtf8(b.caption)) > 67 - 8)
            captionFont.setPointSizeF(captionFont.pointSizeF() - 0.5);
    for (const Button &b : buttons) {
        if (!b.name) {
            ToolBar->addSeparator();
            continue;
        }
        auto *button = new QToolButton(ToolBar);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setText(QString::fromUtf8(b.caption));
        button->setToolTip(QString::fromUtf8(b.hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        button->setProperty("hint", QString::fromUtf8(b.hint));
        button->setIcon(JournalIcons::icon(b.icon));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFixedSize(67, 36);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(captionFont);
        if (b.command) {
            const auto command = b.command;
            connect(button, &QToolButton::clicked, this, [this, command] { guarded([this, command] { (this->*command)(); }); });
        } else {
            button->setEnabled(false); // the registers arrive later
        }
        ToolBar->addWidget(button);
    }
}

void TPaySelectForm::buildList()
{
    m_stack = new QStackedWidget(this);
    LoadingLabel = new QLabel(QStringLiteral("Загрузка данных..."), m_stack);
    LoadingLabel->setObjectName(QStringLiteral("LoadingLabel"));
    LoadingLabel->setAlignment(Qt::AlignCenter);
    QFont big = LoadingLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    LoadingLabel->setFont(big);
    PaySelectDBGrid1 = new DbListView(m_stack);
    PaySelectDBGrid1->setObjectName(QStringLiteral("PaySelectDBGrid1"));
    m_stack->addWidget(LoadingLabel);
    m_stack->addWidget(PaySelectDBGrid1);
    m_stack->setCurrentWidget(LoadingLabel); // the list is hidden until the database is open
    setCentralWidget(m_stack);

    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    const auto oneLine = [](const QVariant &v) {
        QString s = v.toString();
        s.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return s;
    };
    PaySelectDBGrid1->setColumns({
        DbListColumn::picture(QStringLiteral("Print"), QStringLiteral(" "), 22, JournalIcons::icon(JournalIcons::Printed),
                              QStringLiteral("Распечатано"), JournalIcons::icon(JournalIcons::NewOrder), QStringLiteral("Новое ПП")),
        DbListColumn::text(QStringLiteral("Num"), QStringLiteral("Номер"), 47, right),
        DbListColumn::text(QStringLiteral("Date"), QStringLiteral("Дата"), 83),
        DbListColumn::text(QStringLiteral("Sum"), QStringLiteral("Сумма"), 75, right),
        DbListColumn::text(QStringLiteral("Payer"), QStringLiteral("Плательщик"), 201),
        DbListColumn::text(QStringLiteral("Getter"), QStringLiteral("Получатель"), 231),
        DbListColumn::text(QStringLiteral("Dest"), QStringLiteral("Назначение платежа"), 80, Qt::AlignLeft | Qt::AlignVCenter, oneLine),
    });
    PaySelectDBGrid1->addActions({AddMenu, EditMenu, DelMenu});
    PaySelectDBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PaySelectDBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu->popup(PaySelectDBGrid1->viewport()->mapToGlobal(at)); });
    connect(PaySelectDBGrid1, &DbListView::rowDoubleClicked, this, [this] { guarded([this] { ChButtonClick(); }); });
    connect(PaySelectDBGrid1, &DbListView::enterPressed, this, [this] { guarded([this] { OpenButtonClick(); }); });
}

void TPaySelectForm::bindData(TDataBase1 &data)
{
    PaySelectDBGrid1->setDataSource(&data.PaysSource);
    data.viewCommand = [this](int mode) { setView(mode); };
}

void TPaySelectForm::setBankDirectory(int version, const QString &date)
{
    m_bankDirVersion = version;
    m_bankDirDate = date;
    const QString caption = captionFor(date);
    setWindowTitle(caption);
    QGuiApplication::setApplicationDisplayName(caption);
}

// ---- Window -------------------------------------------------------------------

void TPaySelectForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Without a window manager the first showing may bring no activation.
    FormActivate();
}

void TPaySelectForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TPaySelectForm::FormActivate()
{
    // Closing a modal window activates the journal again: only the first
    // activation switches the start-up timer on.
    if (m_timerArmed)
        return;
    m_timerArmed = true;
    m_openTimer.start();
}

void TPaySelectForm::closeEvent(QCloseEvent *event)
{
    savePlacement();
    QMainWindow::closeEvent(event);
}

void TPaySelectForm::savePlacement()
{
    guarded([this] { RegWriteString(placementSetting(), QString::fromLatin1(saveGeometry().toBase64())); });
}

void TPaySelectForm::restorePlacement()
{
    QString stored;
    try {
        stored = RegReadString(placementSetting(), QString());
    } catch (const KvError &) {
        // A placement stored as something else is ignored.
    }
    if (!stored.isEmpty() && restoreGeometry(QByteArray::fromBase64(stored.toLatin1())))
        return;
    if (const QScreen *s = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(s->availableGeometry().center());
        move(r.topLeft());
    }
}

void TPaySelectForm::focusList()
{
    if (PaySelectDBGrid1->isVisible() || m_stack->currentWidget() == PaySelectDBGrid1)
        PaySelectDBGrid1->setFocus(Qt::OtherFocusReason);
}

// ---- Start-up timer -----------------------------------------------------------

void TPaySelectForm::DataBaseOpenTimerTimer()
{
    m_openTimer.stop();
    if (!PayReportForm) {
        auto *report = new TPayReportForm(this);
        // The printed order follows the settings in effect, read at each run.
        report->settings = [] {
            PrintSettings s;
            if (SettingForm) {
                s.dateFormat = SettingForm->dateFormat();
                s.payDateFormat = SettingForm->payDateFormat();
                s.separatorStyle = SettingForm->sumRubAndKopFormat();
                s.wholeStyle = SettingForm->sumWithKopFormat();
                s.noRubleStyle = SettingForm->sumWithRubFormat();
                s.noSecondSignature = SettingForm->noSecondSignature();
                s.sealMark = SettingForm->checkBoxMP();
                s.smallFont = SettingForm->checkBoxLittleFont();
            }
            return s;
        };
    }
    m_stack->setCurrentWidget(PaySelectDBGrid1);
    if (DataBase1) {
        if (PaySelectDBGrid1->tableModel()->dataSource() != &DataBase1->PaysSource)
            bindData(*DataBase1);
        DataBase1->CreateDataBaseAndOpenAllTable();
    }
    focusList();
    if (qEnvironmentVariableIsSet("KV_REPORT_READY"))
        QTimer::singleShot(0, this, &TPaySelectForm::reportReady);
}

void TPaySelectForm::reportReady()
{
    // Painted, with the last order current: what the user sees.
    PaySelectDBGrid1->viewport()->repaint();
    DbTable *t = pays();
    const int rows = t && t->active() ? t->recordCount() : 0;
    const int current = PaySelectDBGrid1->currentIndex().isValid() ? PaySelectDBGrid1->currentIndex().row() + 1 : 0;
    std::printf("ready %.1f ms rows %d current %d\n", processClock().isValid() ? processClock().nsecsElapsed() / 1e6 : -1.0,
                rows, current);
    std::fflush(stdout);
    close();
}

// ---- Commands -----------------------------------------------------------------

int TPaySelectForm::GetNewPayNumber()
{
    if (!SettingForm)
        throw KvError(QStringLiteral("Окно настроек не создано"));
    return SettingForm->takeNewPayNumber();
}

bool TPaySelectForm::showEditor()
{
    if (!PayEditForm)
        return false;
    return PayEditForm->ShowModal() == QDialog::Accepted;
}

void TPaySelectForm::AddButtonClick()
{
    DbTable *t = pays();
    if (!t || !t->active()) // nothing to add to before the database is open
        return;
    const int number = GetNewPayNumber();
    t->append();
    try {
        t->fieldByName(QStringLiteral("Num"))->setAsFloat(number);
        t->fieldByName(QStringLiteral("Print"))->setAsBoolean(false);
        t->fieldByName(QStringLiteral("Date"))->setAsDate(Clock::today());
        t->fieldByName(QStringLiteral("GridKey"))->setAsString(TableDefs::newGridKey());
        t->fieldByName(QStringLiteral("PayType"))->setAsString(QString());
        t->fieldByName(QStringLiteral("OpType"))->setAsString(QStringLiteral("01"));
    } catch (...) {
        t->cancel();
        throw;
    }
    const bool ok = showEditor();
    if (ok && (t->state() == DbTable::Insert || t->state() == DbTable::Edit)) {
        const QString error = postError(*t);
        if (!error.isEmpty()) {
            if (error == DbError::keyViolationText())
                Prompt::messageBox(windowTitle(), QStringLiteral("Точно такая же платежка уже есть в списке. Копия - удалена... ") + error);
            else
                Prompt::messageBox(windowTitle(), error);
            t->cancel();
        }
    } else if (!ok) {
        t->cancel();
    }
    focusList();
}

void TPaySelectForm::ChButtonClick()
{
    DbTable *t = pays();
    // Editing an empty journal would add a blank order without a number.
    if (!hasRows(t)) {
        focusList();
        return;
    }
    t->edit();
    if (PayEditForm && t->fieldByName(QStringLiteral("PDate"))->asDate() == TPayEditForm::zeroDocDate())
        PayEditForm->PDateEdit->setText(TPayEditForm::zeroDocDateText());
    if (showEditor()) {
        if (t->state() == DbTable::Edit) {
            t->fieldByName(QStringLiteral("Print"))->setAsBoolean(false); // a changed order counts as not printed
            const QString error = postError(*t);
            if (!error.isEmpty()) {
                if (error == DbError::keyViolationText())
                    Prompt::messageBox(windowTitle(), QStringLiteral("Выбранная организация уже добавлена. DOrgFormSelect:") + error);
                else
                    Prompt::messageBox(windowTitle(), QStringLiteral("Обратитесь к разработчику. DOrgFormSelect:") + error);
                t->cancel();
            }
        }
    } else {
        t->cancel();
    }
    focusList();
}

void TPaySelectForm::AddCopyButtonClick()
{
    DbTable *t = pays();
    // Nothing to copy: no number is used up and no empty order is made.
    if (!hasRows(t)) {
        focusList();
        return;
    }
    const int number = GetNewPayNumber();
    QVector<QVariant> values;
    for (const QString &f : copiedFields())
        values << t->fieldByName(f)->value();
    t->append();
    try {
        t->fieldByName(QStringLiteral("Num"))->setAsFloat(number);
        t->fieldByName(QStringLiteral("Date"))->setAsDate(Clock::today());
        for (int i = 0; i < copiedFields().size(); ++i) {
            QVariant v = values[i];
            if (copiedFields()[i] == QLatin1String("PrintCount") && v.isValid() && !v.isNull())
                v = std::nearbyint(v.toDouble()); // a half goes to the even neighbour
            t->fieldByName(copiedFields()[i])->setValue(v);
        }
        t->fieldByName(QStringLiteral("Print"))->setAsBoolean(false);
        t->fieldByName(QStringLiteral("GridKey"))->setAsString(TableDefs::newGridKey());
    } catch (...) {
        t->cancel();
        throw;
    }
    if (PayEditForm && t->fieldByName(QStringLiteral("PDate"))->asDate() == TPayEditForm::zeroDocDate())
        PayEditForm->PDateEdit->setText(TPayEditForm::zeroDocDateText());
    if (showEditor()) {
        const QString error = postError(*t);
        if (!error.isEmpty()) {
            Prompt::messageBox(windowTitle(), error);
            t->cancel();
        }
    } else {
        t->cancel();
    }
    focusList();
}

void TPaySelectForm::DelButtonClick()
{
    DbTable *t = pays();
    if (hasRows(t)
        && Prompt::messageBox(QStringLiteral("Удаление"), QStringLiteral("Вы действительно хотите удалить выбранное платежное поручение? "),
                              Prompt::Yes | Prompt::No, Prompt::Warning)
               == Prompt::Yes)
        t->deleteRecord();
    focusList();
}

void TPaySelectForm::OpenButtonClick()
{
    if (hasRows(pays()))
        showEditor(); // the row is shown, not edited: nothing to post or cancel
    focusList();
}

void TPaySelectForm::setView(int mode)
{
    ViewAll->setChecked(mode == 0);
    ViewYear->setChecked(mode == 1);
    ViewMonth->setChecked(mode == 2);
    if (DataBase1) {
        DataBase1->setViewMode(mode);
        // The list and the editor follow once, when the new view is in place.
        DbDataSource &source = DataBase1->PaysSource;
        const bool follow = source.enabled();
        source.setEnabled(false);
        try {
            DataBase1->PaysTable.setFiltered(false);
            DataBase1->PaysTable.setFiltered(true);
        } catch (...) {
            source.setEnabled(follow);
            throw;
        }
        source.setEnabled(follow);
    }
    focusList();
}

void TPaySelectForm::PreviewButtonClick()
{
    DbTable *t = pays();
    if (!PayReportForm || !t || !t->active())
        return;
    PrintRecNo = t->recNo();
    PayReportForm->Preview();
    focusList();
}

void TPaySelectForm::PrintButtonClick()
{
    if (PrintForm)
        PrintForm->ShowModal();
    focusList();
}

void TPaySelectForm::OptionsButtonClick()
{
    if (SettingForm)
        Modal::exec(SettingForm);
    focusList();
}

void TPaySelectForm::ExitButtonClick() { close(); }

void TPaySelectForm::MenuOpenBCClick()
{
    const QString folder = AppPaths::resolveFolder(
        Settings::readString(Settings::DataBasePath));
    openFolderHook(QUrl::fromLocalFile(folder));
    focusList();
}
