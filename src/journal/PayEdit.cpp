#include "PayEdit.h"

#include "DataUnit.h"
#include "DbControls.h"
#include "DbDateEdit.h"
#include "GuiSeams.h"
#include "Prompt.h"
#include "Setting.h"
#include "WriteSum.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

TPayEditForm *PayEditForm = nullptr;

namespace {

template <class T> T *named(QWidget *parent, const char *name, int helpTopic)
{
    auto *w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setProperty("helpTopic", helpTopic);
    return w;
}

QLabel *label(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

constexpr int kDateWidth = 112;

QVBoxLayout *groupLayout(QGroupBox *group)
{
    auto *l = new QVBoxLayout(group);
    l->setContentsMargins(8, 2, 8, 6);
    l->setSpacing(3);
    return l;
}

QHBoxLayout *newRow(QVBoxLayout *group)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    group->addLayout(row);
    return row;
}

// A caption with its box below it.
void cell(QHBoxLayout *row, QWidget *parent, const QString &caption, QWidget *control, int stretch = 0)
{
    auto *c = new QVBoxLayout;
    c->setSpacing(1);
    c->addWidget(label(parent, caption, control));
    c->addWidget(control);
    row->addLayout(c, stretch);
}

QStringList codes(std::initializer_list<const char *> items)
{
    QStringList out;
    for (const char *i : items)
        out << QString::fromUtf8(i);
    return out;
}

} // namespace

TPayEditForm::TPayEditForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PayEditForm"));
    setWindowTitle(QStringLiteral("Редактирование платежного поручения"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(622, 494);
    setProperty("helpTopic", 2000);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);
    auto *body = new QVBoxLayout;
    body->setContentsMargins(8, 4, 8, 4);
    body->setSpacing(2);
    page->addLayout(body, 1);

    // ---- Платежное поручение
    // Captions stand above their boxes: beside them they would not fit the
    // window's width with the usual system fonts.
    auto *order = new QGroupBox(QStringLiteral("Платежное поручение"), this);
    auto *ol = groupLayout(order);
    PostDateEdit = named<DbDateEdit>(order, "PostDateEdit", 2010);
    SpisDateEdit = named<DbDateEdit>(order, "SpisDateEdit", 2020);
    YStateEdit = named<DbComboBox>(order, "YStateEdit", 2030);
    NumEdit = named<DbEdit>(order, "NumEdit", 2040);
    DateEdit = named<DbDateEdit>(order, "DateEdit", 2050);
    SumEdit = named<DbEdit>(order, "SumEdit", 2060);
    PayTypeEdit = named<DbComboBox>(order, "PayTypeEdit", 2070);
    OpTypeEdit = named<DbEdit>(order, "OpTypeEdit", 2080);
    OchPayEdit = named<DbEdit>(order, "OchPayEdit", 2090);
    PayDateEdit = named<DbDateEdit>(order, "PayDateEdit", 2100);
    DBEditNpl = named<DbEdit>(order, "DBEditNpl", 4020);
    UinDBEdit = named<DbEdit>(order, "UinDBEdit", 4020);
    for (DbDateEdit *d : {PostDateEdit, SpisDateEdit, DateEdit, PayDateEdit})
        d->setFixedWidth(kDateWidth);
    YStateEdit->setFixedWidth(64);
    OpTypeEdit->setFixedWidth(48);
    OchPayEdit->setFixedWidth(48);
    PayTypeEdit->setMinimumWidth(120);
    {
        auto *row = newRow(ol);
        cell(row, order, QStringLiteral("Поступ. в банк"), PostDateEdit);
        cell(row, order, QStringLiteral("Списано со сч. плат."), SpisDateEdit);
        cell(row, order, QStringLiteral("Статус юр. лица"), YStateEdit);
        cell(row, order, QStringLiteral("№"), NumEdit, 1);
        cell(row, order, QStringLiteral("Дата"), DateEdit);
        row = newRow(ol);
        cell(row, order, QStringLiteral("Сумма"), SumEdit, 2);
        cell(row, order, QStringLiteral("Вид платежа"), PayTypeEdit, 2);
        cell(row, order, QStringLiteral("Вид оп."), OpTypeEdit);
        cell(row, order, QStringLiteral("Оч. пл."), OchPayEdit);
        cell(row, order, QStringLiteral("Срок платежа"), PayDateEdit);
        row = newRow(ol);
        cell(row, order, QStringLiteral("Н.платежа (20)"), DBEditNpl, 1);
        cell(row, order, QStringLiteral("УИН"), UinDBEdit, 1);
    }
    body->addWidget(order);

    // ---- Плательщик, Получатель
    auto *parties = new QHBoxLayout;
    parties->setSpacing(6);
    auto *payerGroup = new QGroupBox(QStringLiteral("Плательщик"), this);
    PayerEdit = named<DbLookupComboBox>(payerGroup, "PayerEdit", 2110);
    groupLayout(payerGroup)->addWidget(PayerEdit);
    auto *getterGroup = new QGroupBox(QStringLiteral("Получатель"), this);
    GetterEdit = named<DbLookupComboBox>(getterGroup, "GetterEdit", 2110);
    groupLayout(getterGroup)->addWidget(GetterEdit);
    for (DbLookupComboBox *b : {PayerEdit, GetterEdit}) {
        b->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        b->setMinimumContentsLength(10); // long names must not widen the window
    }
    parties->addWidget(payerGroup, 1);
    parties->addWidget(getterGroup, 1);
    body->addLayout(parties);

    // ---- Дополнительные реквизиты
    auto *extra = new QGroupBox(QStringLiteral("Дополнительные реквизиты"), this);
    auto *el = groupLayout(extra);
    CBCEdit = named<DbEdit>(extra, "CBCEdit", 2120);
    OCATOEdit = named<DbEdit>(extra, "OCATOEdit", 2130);
    OsnPEEdit = named<DbComboBox>(extra, "OsnPEEdit", 2140);
    NPerEdit = named<DbEdit>(extra, "NPerEdit", 2150);
    PNDocEdit = named<DbEdit>(extra, "PNDocEdit", 2160);
    PDateEdit = named<DbDateEdit>(extra, "PDateEdit", 2170);
    PTypeEdit = named<DbComboBox>(extra, "PTypeEdit", 2180);
    OsnPEEdit->setFixedWidth(64);
    PTypeEdit->setFixedWidth(64);
    NPerEdit->setFixedWidth(100);
    PDateEdit->setFixedWidth(kDateWidth);
    {
        auto *row = newRow(el);
        cell(row, extra, QStringLiteral("КБК"), CBCEdit, 3);
        cell(row, extra, QStringLiteral("ОКТМО"), OCATOEdit, 2);
        cell(row, extra, QStringLiteral("Осн. плат."), OsnPEEdit);
        cell(row, extra, QStringLiteral("Налог. период"), NPerEdit);
        row = newRow(el);
        cell(row, extra, QStringLiteral("№ док."), PNDocEdit, 1);
        cell(row, extra, QStringLiteral("Дата док-та"), PDateEdit);
        cell(row, extra, QStringLiteral("Тип пл-жа"), PTypeEdit);
    }
    body->addWidget(extra);

    // ---- Назначение платежа
    auto *dest = new QGroupBox(QStringLiteral("Назначение платежа"), this);
    auto *dl = groupLayout(dest);
    DestEdit = named<DbMemo>(dest, "DestEdit", 2190);
    DestEdit->setMinimumHeight(36);
    dl->addWidget(DestEdit, 1);
    NDSEdit = named<DbEdit>(dest, "NDSEdit", 2200);
    NDSStrEdit = named<DbEdit>(dest, "NDSStrEdit", 2210);
    NDSEdit->setFixedWidth(56);
    auto *ndsRow = new QHBoxLayout;
    ndsRow->setSpacing(6);
    ndsRow->addWidget(label(dest, QStringLiteral("в т.ч. НДС"), NDSEdit));
    ndsRow->addWidget(NDSEdit);
    ndsRow->addWidget(new QLabel(QStringLiteral("%"), dest));
    ndsRow->addWidget(NDSStrEdit, 1);
    dl->addLayout(ndsRow);
    body->addWidget(dest, 1);

    // ---- Buttons
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OkButton = new QPushButton(QStringLiteral("&OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    body->addLayout(buttons);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    auto *status = new QLabel(QStringLiteral("Используйте Tab для перемещения по полям. F1 - помощь по текущему полю"), StatusBar);
    StatusBar->addWidget(status, 1);
    page->addWidget(StatusBar);

    YStateEdit->setItems(codes({" ", "0", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12", "13", "14",
                                "15", "16", "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29",
                                "30", "31"}));
    PayTypeEdit->setItems(codes({"", "почтой", "телеграфом", "электронно"}));
    OsnPEEdit->setItems(codes({" ", "0", "ТП", "ЗД", "БФ", "ТР", "РС", "ОТ", "РТ", "ПБ", "ПР", "АП", "АР", "ИН", "ТЛ",
                               "ЗТ", "ДЕ", "ПО", "КТ", "ИД", "ИП", "ТУ", "БД", "КП", "ДК", "ПК", "КК", "ТК", "00"}));
    PTypeEdit->setItems(codes({" ", "0", "ПЕ", "ПЦ", "НС", "АВ", "СА", "АШ", "ИШ", "ВЗ"}));

    const QList<QWidget *> tabOrder = {PostDateEdit, SpisDateEdit, YStateEdit, NumEdit, DateEdit, SumEdit, PayTypeEdit,
                                       OpTypeEdit, OchPayEdit, PayDateEdit, DBEditNpl, UinDBEdit, PayerEdit, GetterEdit,
                                       CBCEdit, OCATOEdit, OsnPEEdit, NPerEdit, PNDocEdit, PDateEdit, PTypeEdit,
                                       DestEdit, NDSEdit, NDSStrEdit, OkButton, CancelButton};
    for (int i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // The VAT line follows the amount and the rate, but only while the user is in one of them.
    for (DbEdit *e : {SumEdit, NDSEdit}) {
        connect(e, &QLineEdit::textChanged, this, &TPayEditForm::NDSEditChange);
        connect(e, &DbEdit::entered, this, &TPayEditForm::NDSEditEnter);
        connect(e, &DbEdit::exited, this, &TPayEditForm::NDSEditExit);
    }
    // A row without a rate shows "0" as soon as it is shown; during the load
    // itself the box must not write, so the "0" is put in once it is done.
    connect(NDSEdit->link(), &DbFieldLink::loaded, this, [this] {
        if (NDSEdit->text().isEmpty())
            NDSEdit->setText(QStringLiteral("0"));
    });
    connect(OkButton, &QPushButton::clicked, this, &TPayEditForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    if (DataBase1)
        bindData(*DataBase1);
    if (!PayEditForm)
        PayEditForm = this;
}

TPayEditForm::~TPayEditForm()
{
    if (PayEditForm == this)
        PayEditForm = nullptr;
}

void TPayEditForm::bindData(TDataBase1 &data)
{
    DbDataSource *s = &data.PaysSource;
    PostDateEdit->bind(s, QStringLiteral("PostDate"));
    SpisDateEdit->bind(s, QStringLiteral("SpisDate"));
    YStateEdit->bind(s, QStringLiteral("YState"));
    NumEdit->bind(s, QStringLiteral("Num"));
    DateEdit->bind(s, QStringLiteral("Date"));
    SumEdit->bind(s, QStringLiteral("Sum"));
    PayTypeEdit->bind(s, QStringLiteral("PayType"));
    OpTypeEdit->bind(s, QStringLiteral("OpType"));
    OchPayEdit->bind(s, QStringLiteral("OchPay"));
    PayDateEdit->bind(s, QStringLiteral("PayDate"));
    DBEditNpl->bind(s, QStringLiteral("Npl"));
    UinDBEdit->bind(s, QStringLiteral("UIN"));
    PayerEdit->bind(s, QStringLiteral("Payer"));
    PayerEdit->setLookup(&data.PayerSource, QStringLiteral("PSName"));
    GetterEdit->bind(s, QStringLiteral("Getter"));
    GetterEdit->setLookup(&data.PayerSource, QStringLiteral("PSName"));
    CBCEdit->bind(s, QStringLiteral("CBC"));
    OCATOEdit->bind(s, QStringLiteral("OCATO"));
    OsnPEEdit->bind(s, QStringLiteral("OsnPe"));
    NPerEdit->bind(s, QStringLiteral("NPer"));
    PNDocEdit->bind(s, QStringLiteral("PNdoc"));
    PDateEdit->bind(s, QStringLiteral("PDate"));
    PTypeEdit->bind(s, QStringLiteral("PType"));
    DestEdit->bind(s, QStringLiteral("Dest"));
    NDSEdit->bind(s, QStringLiteral("NDS"));
    NDSStrEdit->bind(s, QStringLiteral("NDSStr"));
}

int TPayEditForm::ShowModal()
{
    FormActivate();
    return Modal::exec(this);
}

void TPayEditForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormActivate();
}

void TPayEditForm::FormActivate()
{
    m_amountFocused = false;
    // The directory's names may have changed since the last showing.
    PayerEdit->refreshItems();
    GetterEdit->refreshItems();
    PostDateEdit->setFocus(Qt::OtherFocusReason);
}

void TPayEditForm::NDSEditChange()
{
    if (NDSEdit->text().isEmpty()) {
        if (!NDSEdit->link()->loading())
            NDSEdit->setText(QStringLiteral("0")); // runs the rule again
        return;
    }
    // Loading a row into the controls never rewrites its VAT line.
    if (!m_amountFocused)
        return;
    const QString rate = NDSEdit->text();
    if (rate == QLatin1String("0")) {
        NDSStrEdit->setText(SettingForm ? SettingForm->noNds() : QStringLiteral("НДС не облагается."));
        NDSStrEdit->update();
        return;
    }
    // An amount or a rate that is no number, and the rate -100, leave the
    // line as it was: the user is told, and goes on typing.
    double s = 0, r = 0;
    for (const auto &[text, out] : {std::pair{SumEdit->text(), &s}, std::pair{rate, &r}}) {
        if (!DbField::parseFloat(text, out)) {
            Prompt::showError(QStringLiteral("«%1» не является числом").arg(text));
            return;
        }
    }
    const double divisor = r / 100 + 1;
    if (divisor == 0) {
        Prompt::showError(QStringLiteral("Деление на ноль"));
        return;
    }
    const double vat = s - s / divisor;
    const int separator = SettingForm ? SettingForm->sumRubAndKopFormat() : 0;
    const int whole = SettingForm ? SettingForm->sumWithKopFormat() : 0;
    const int noRuble = SettingForm ? SettingForm->sumWithRubFormat() : 0;
    NDSStrEdit->setText(QStringLiteral("в т.ч. НДС ") + rate + QStringLiteral("% - ") + SumInFigures(separator, whole, noRuble, vat));
    NDSStrEdit->update();
}

void TPayEditForm::OkButtonClick()
{
    m_amountFocused = false;
    // "0" typed into the first position of the document date, the rest blank.
    const QString doc = PDateEdit->text();
    if (doc.contains(QLatin1String("  ")) && doc.contains(QLatin1Char('0'))) {
        DbTable *t = PDateEdit->link()->table();
        if (t && (t->state() == DbTable::Insert || t->state() == DbTable::Edit))
            t->fieldByName(QStringLiteral("PDate"))->setAsDate(zeroDocDate());
    }
    accept();
}
