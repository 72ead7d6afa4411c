#include "Setting.h"

#include "AppPaths.h"
#include "DataUnit.h"
#include "GuiSeams.h"
#include "KvError.h"
#include "Prompt.h"
#include "RegWorksUnit.h"
#include "Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

TSettingForm *SettingForm = nullptr;

namespace {

constexpr int kHelpTopic = 4000;

using Settings::readBool;
using Settings::readInteger;
using Settings::readString;
QString name(const char *setting) { return Settings::key(setting); }

// A stored index outside the list selects nothing.
void selectIndex(QComboBox *box, int index) { box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1); }

QComboBox *list(QWidget *parent, const char *objectName, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->addItems(items);
    return box;
}

QLineEdit *edit(QWidget *parent, const char *objectName)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(objectName));
    return e;
}

QString defaultBrowse(QWidget *parent, const QString &startFolder)
{
    QFileDialog dialog(parent, QStringLiteral("Открыть"), startFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The tables are PaysDB.DB and the like: the pattern must not care for case.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilters({QStringLiteral("Файлы базы данных (*.db)"), QStringLiteral("Файлы базы данных (*.net)")});
    dialog.setSizeGripEnabled(true);
    if (Modal::exec(&dialog) != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace

std::function<QString(QWidget *, const QString &)> TSettingForm::browseHook = defaultBrowse;

TSettingForm::TSettingForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SettingForm"));
    setWindowTitle(QStringLiteral("Настройки"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(482, 515);
    setProperty("helpTopic", kHelpTopic);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(8);

    auto *pathGroup = new QGroupBox(QStringLiteral("Полный путь к базе данных"), this);
    auto *pathRow = new QHBoxLayout(pathGroup);
    DataBasePathEdit = edit(pathGroup, "DataBasePathEdit");
    BrowseButton = new QPushButton(QStringLiteral("&Обзор"), pathGroup);
    BrowseButton->setObjectName(QStringLiteral("BrowseButton"));
    BrowseButton->setAutoDefault(false);
    pathRow->addWidget(DataBasePathEdit, 1);
    pathRow->addWidget(BrowseButton);
    page->addWidget(pathGroup);

    auto *userGroup = new QGroupBox(QStringLiteral("Имя пользователя (для сетевого использования)"), this);
    auto *userRow = new QHBoxLayout(userGroup);
    UserNameEdit = edit(userGroup, "UserNameEdit");
    userRow->addWidget(UserNameEdit);
    page->addWidget(userGroup);

    auto *orderGroup = new QGroupBox(QStringLiteral("Настройки платежки"), this);
    auto *grid = new QGridLayout(orderGroup);
    grid->setColumnStretch(1, 1);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(7);
    const QStringList dates = {QStringLiteral("2.01.2014"), QStringLiteral("2.01.2014 г."), QStringLiteral("2 января 2014"),
                               QStringLiteral("2 января 2014 г."), QStringLiteral("02.01.2014"), QStringLiteral("02.01.2014 г."),
                               QStringLiteral("02 января 2014"), QStringLiteral("02 января 2014 г.")};
    DateFormatSelect = list(orderGroup, "DateFormatSelect", dates);
    PayDateFormatSelect = list(orderGroup, "PayDateFormatSelect", dates);
    FrmSumRubAndKopCombo = list(orderGroup, "FrmSumRubAndKopCombo", {QStringLiteral("100-10"), QStringLiteral("100.10")});
    SumWithKopSelect = list(orderGroup, "SumWithKopSelect", {QStringLiteral("100-00"), QStringLiteral("100=")});
    // The item shown is the style printed: value 0 prints "00-50", 1 prints "0-50".
    SumWithRubSelect = list(orderGroup, "SumWithRubSelect", {QStringLiteral("00-50"), QStringLiteral("0-50")});
    NoNDSEdit = edit(orderGroup, "NoNDSEdit");
    NoSecondSignature = edit(orderGroup, "NoSecondSignature");
    CheckBoxMP = new QCheckBox(QStringLiteral("Указывать \"Место печати (МП)\""), orderGroup);
    CheckBoxMP->setObjectName(QStringLiteral("CheckBoxMP"));
    CheckBoxLittleFont = new QCheckBox(QStringLiteral("Мелкий шрифт в платежном поручении"), orderGroup);
    CheckBoxLittleFont->setObjectName(QStringLiteral("CheckBoxLittleFont"));
    EditPayNextNumber = new QSpinBox(orderGroup);
    EditPayNextNumber->setObjectName(QStringLiteral("EditPayNextNumber"));
    EditPayNextNumber->setRange(INT_MIN, INT_MAX);
    EditPayNextNumber->setSingleStep(1);

    int row = 0;
    const auto addRow = [&](const QString &caption, QWidget *control) {
        auto *label = new QLabel(caption, orderGroup);
        label->setBuddy(control);
        grid->addWidget(label, row, 0, Qt::AlignVCenter);
        grid->addWidget(control, row, 1);
        ++row;
    };
    addRow(QStringLiteral("Формат даты:"), DateFormatSelect);
    addRow(QStringLiteral("Формат прочих дат:"), PayDateFormatSelect);
    addRow(QStringLiteral("Формат суммы рубли и копейки:"), FrmSumRubAndKopCombo);
    addRow(QStringLiteral("Формат суммы без копеек:"), SumWithKopSelect);
    addRow(QStringLiteral("Формат суммы без рублей:"), SumWithRubSelect);
    addRow(QStringLiteral("При отсутствии НДС указывать:"), NoNDSEdit);
    addRow(QStringLiteral("При отсутствии второй подписи\r\nуказывать:"), NoSecondSignature);
    grid->addWidget(CheckBoxMP, row++, 0, 1, 2);
    grid->addWidget(CheckBoxLittleFont, row++, 0, 1, 2);
    addRow(QStringLiteral("Следующий номер платежного\r\nпоручения:"), EditPayNextNumber);
    grid->setRowStretch(row, 1);
    page->addWidget(orderGroup, 1);

    auto *buttons = new QHBoxLayout;
    OkButton = new QPushButton(QStringLiteral("ОК"), this); // Cyrillic О and К
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    page->addLayout(buttons);

    const QList<QWidget *> tabOrder = {DataBasePathEdit, BrowseButton, UserNameEdit, DateFormatSelect, PayDateFormatSelect,
                                       FrmSumRubAndKopCombo, SumWithKopSelect, SumWithRubSelect, NoNDSEdit, NoSecondSignature,
                                       CheckBoxMP, CheckBoxLittleFont, EditPayNextNumber, OkButton, CancelButton};
    for (int i = 0; i < tabOrder.size(); ++i) {
        tabOrder[i]->setProperty("helpTopic", kHelpTopic);
        if (i > 0)
            QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(BrowseButton, &QPushButton::clicked, this, &TSettingForm::BrowseButtonClick);
    connect(OkButton, &QPushButton::clicked, this, &TSettingForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects too

    // Design contents: the defaults, kept by the controls a failed load does not reach.
    DataBasePathEdit->setText(Settings::defaultString(Settings::DataBasePath));
    UserNameEdit->setText(Settings::defaultString(Settings::UserName));
    NoNDSEdit->setText(Settings::defaultString(Settings::NoNDSEdit));
    NoSecondSignature->setText(Settings::defaultString(Settings::NoSecondSignature));
    CheckBoxMP->setChecked(Settings::defaultBool(Settings::CheckBoxMP));
    CheckBoxLittleFont->setChecked(Settings::defaultBool(Settings::CheckBoxLittleFont));
    EditPayNextNumber->setValue(Settings::defaultInteger(Settings::EditPayNextNumber));

    SettingForm = this;
    try {
        load();
    } catch (const KvError &e) {
        Prompt::showError(e.message());
    }
}

TSettingForm::~TSettingForm()
{
    if (SettingForm == this)
        SettingForm = nullptr;
}

void TSettingForm::load()
{
    DataBasePathEdit->setText(readString(Settings::DataBasePath));
    UserNameEdit->setText(readString(Settings::UserName));
    selectIndex(DateFormatSelect, readInteger(Settings::DateFormatSelect));
    selectIndex(PayDateFormatSelect, readInteger(Settings::PayDateFormatSelect));
    selectIndex(FrmSumRubAndKopCombo, readInteger(Settings::FrmSumRubAndKopCombo));
    selectIndex(SumWithKopSelect, readInteger(Settings::SumWithKopSelect));
    selectIndex(SumWithRubSelect, readInteger(Settings::SumWithRubSelect));
    NoNDSEdit->setText(readString(Settings::NoNDSEdit));
    NoSecondSignature->setText(readString(Settings::NoSecondSignature));
    CheckBoxMP->setChecked(readBool(Settings::CheckBoxMP));
    CheckBoxLittleFont->setChecked(readBool(Settings::CheckBoxLittleFont));
    EditPayNextNumber->setValue(readInteger(Settings::EditPayNextNumber));
}

QString TSettingForm::dataBasePath() const { return DataBasePathEdit->text(); }
QString TSettingForm::userName() const { return UserNameEdit->text(); }
int TSettingForm::dateFormat() const { return DateFormatSelect->currentIndex(); }
int TSettingForm::payDateFormat() const { return PayDateFormatSelect->currentIndex(); }
int TSettingForm::sumRubAndKopFormat() const { return FrmSumRubAndKopCombo->currentIndex(); }
int TSettingForm::sumWithKopFormat() const { return SumWithKopSelect->currentIndex(); }
int TSettingForm::sumWithRubFormat() const { return SumWithRubSelect->currentIndex(); }
QString TSettingForm::noNds() const { return NoNDSEdit->text(); }
QString TSettingForm::noSecondSignature() const { return NoSecondSignature->text(); }
bool TSettingForm::checkBoxMP() const { return CheckBoxMP->isChecked(); }
bool TSettingForm::checkBoxLittleFont() const { return CheckBoxLittleFont->isChecked(); }
int TSettingForm::payNextNumber() const { return EditPayNextNumber->value(); }

int TSettingForm::takeNewPayNumber()
{
    // The box has no upper limit but an int has: past it there is no next number.
    if (EditPayNextNumber->value() == INT_MAX)
        throw KvError(QStringLiteral("Номера платежных поручений исчерпаны: измените следующий номер в настройках."));
    EditPayNextNumber->setValue(EditPayNextNumber->value() + 1);
    RegWriteInteger(name(Settings::EditPayNextNumber), EditPayNextNumber->value());
    return EditPayNextNumber->value();
}

QString TSettingForm::folderOfFile(const QString &filePath)
{
#ifdef Q_OS_WIN
    const QChar separator = QLatin1Char('\\');
    QString folder = QDir::toNativeSeparators(QFileInfo(filePath).absolutePath());
#else
    // Backslashes of a setting are read as separators here too (AppPaths),
    // but a path the system gave us keeps its own.
    const QChar separator = QLatin1Char('/');
    QString folder = QFileInfo(filePath).absolutePath();
#endif
    if (!folder.endsWith(separator))
        folder += separator;
    return folder;
}

void TSettingForm::BrowseButtonClick()
{
    const QString file = browseHook ? browseHook(this, AppPaths::resolveFolder(DataBasePathEdit->text())) : QString();
    if (!file.isEmpty())
        DataBasePathEdit->setText(folderOfFile(file));
}

void TSettingForm::OkButtonClick()
{
    // Stored before the reopen, which reads the folder and the user name back.
    try {
        RegWriteString(name(Settings::DataBasePath), DataBasePathEdit->text());
        RegWriteString(name(Settings::UserName), UserNameEdit->text());
        RegWriteInteger(name(Settings::DateFormatSelect), DateFormatSelect->currentIndex());
        RegWriteInteger(name(Settings::PayDateFormatSelect), PayDateFormatSelect->currentIndex());
        RegWriteInteger(name(Settings::FrmSumRubAndKopCombo), FrmSumRubAndKopCombo->currentIndex());
        RegWriteInteger(name(Settings::SumWithKopSelect), SumWithKopSelect->currentIndex());
        RegWriteInteger(name(Settings::SumWithRubSelect), SumWithRubSelect->currentIndex());
        RegWriteString(name(Settings::NoNDSEdit), NoNDSEdit->text());
        RegWriteString(name(Settings::NoSecondSignature), NoSecondSignature->text());
        RegWriteBool(name(Settings::CheckBoxMP), CheckBoxMP->isChecked());
        RegWriteBool(name(Settings::CheckBoxLittleFont), CheckBoxLittleFont->isChecked());
        RegWriteInteger(name(Settings::EditPayNextNumber), EditPayNextNumber->value());
        if (DataBase1) {
            DataBase1->CloseAllTable();
            DataBase1->CreateDataBaseAndOpenAllTable();
            // A refused first run ends the program: opening the tables of an
            // empty folder would only add a question about a damaged database.
            if (!Prompt::terminateRequested())
                DataBase1->OpenAllTable();
        }
    } catch (const KvError &e) {
        // The dialog stays open, so that a wrong folder can be put right.
        Prompt::showError(e.message());
        return;
    }
    accept();
}

void TSettingForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Over the main window, also when made without a parent.
    QWidget *over = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    if (over && over != this)
        move(over->frameGeometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
}
