#include "PrintForm.h"

#include "DataUnit.h"
#include "GuiSeams.h"
#include "KvError.h"
#include "PayRep.h"
#include "Prompt.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TPrintForm *PrintForm = nullptr;

namespace {
constexpr int kMinCopies = 1;
constexpr int kMaxCopies = 999;
}

TPrintForm::TPrintForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Печать платежного поручения"));
    setProperty("helpTopic", 1060);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = new QLabel(QStringLiteral("Число копий:"), this);
    CopySpinEdit = new QSpinBox(this);
    CopySpinEdit->setRange(kMinCopies, kMaxCopies);
    CopySpinEdit->setValue(1);
    Label1->setBuddy(CopySpinEdit);
    PrinterSettingButton = new QPushButton(QStringLiteral("Настройка принтера"), this);
    PrintButton = new QPushButton(QStringLiteral("Печать"), this);
    PrintButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    setObjectName(QStringLiteral("PrintForm"));
    Label1->setObjectName(QStringLiteral("Label1"));
    CopySpinEdit->setObjectName(QStringLiteral("CopySpinEdit"));
    PrinterSettingButton->setObjectName(QStringLiteral("PrinterSettingButton"));
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    auto *top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(CopySpinEdit);
    top->addStretch();
    top->addWidget(PrinterSettingButton);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(PrintButton);
    buttons->addWidget(CancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    CopySpinEdit->setMinimumWidth(70);
    setFixedSize(std::max(397, sizeHint().width()), sizeHint().height());
    setTabOrder(CopySpinEdit, PrinterSettingButton);
    setTabOrder(PrinterSettingButton, PrintButton);
    setTabOrder(PrintButton, CancelButton);

    connect(PrinterSettingButton, &QPushButton::clicked, this, &TPrintForm::PrinterSettingButtonClick);
    connect(PrintButton, &QPushButton::clicked, this, &TPrintForm::PrintButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    if (!PrintForm)
        PrintForm = this;
}

TPrintForm::~TPrintForm()
{
    if (PrintForm == this)
        PrintForm = nullptr;
}

DbTable *TPrintForm::pays() const
{
    if (m_pays)
        return m_pays;
    return DataBase1 ? &DataBase1->PaysTable : nullptr;
}

TPayReportForm *TPrintForm::report() const { return m_report ? m_report : PayReportForm; }

int TPrintForm::ShowModal()
{
    FormActivate();
    return Modal::exec(this);
}

int TPrintForm::copies() const
{
    bool ok = false;
    const int value = CopySpinEdit->cleanText().toInt(&ok);
    return ok ? std::clamp(value, kMinCopies, kMaxCopies) : kMinCopies;
}

void TPrintForm::FormActivate()
{
    DbTable *t = pays();
    double count = 0;
    if (t && t->active() && t->recordCount() > 0)
        count = t->fieldByName(QStringLiteral("PrintCount"))->asFloat();
    // An order never printed has no count; the spin edit then shows 1.
    CopySpinEdit->setValue(int(std::clamp(std::nearbyint(count), 0.0, double(kMaxCopies))));
    CopySpinEdit->setFocus();
    CopySpinEdit->selectAll();
}

void TPrintForm::PrinterSettingButtonClick()
{
    TPayReportForm *rep = report();
    if (!rep)
        return;
    rep->setCopies(1);
    rep->PrinterSetup();
    // The spin edit alone decides how many one-sheet runs are made.
    CopySpinEdit->setValue(rep->copies());
    rep->setCopies(1);
}

void TPrintForm::PrintButtonClick()
{
    DbTable *t = pays();
    TPayReportForm *rep = report();
    // Without an order there is nothing to record or print; editing an
    // empty table would append a blank order.
    if (!t || !t->active() || t->recordCount() == 0 || !rep) {
        reject();
        return;
    }

    // 1. The order records the printing before anything is printed.
    try {
        t->edit();
        t->fieldByName(QStringLiteral("PrintCount"))->setAsFloat(copies());
        t->fieldByName(QStringLiteral("Print"))->setAsBoolean(true);
        t->post();
    } catch (const KvError &e) {
        // Leave the order as it was; the dialog stays open.
        if (t->state() == DbTable::Edit)
            t->cancel();
        Prompt::showError(e.message());
        return;
    }
    // 2-4.
    PrintRecNo = t->recNo();
    if (CopySpinEdit->cleanText().isEmpty())
        CopySpinEdit->setValue(0);
    rep->setCopies(1);
    // 5. A separate one-sheet job per copy; a failed job ends the run.
    const int runs = copies();
    for (int i = 0; i < runs; ++i)
        if (!rep->Print())
            break;
    // 6-7.
    t->setRecNo(PrintRecNo);
    accept();
}
