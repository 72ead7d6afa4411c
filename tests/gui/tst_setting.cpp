#include "AppPaths.h"
#include "DataUnit.h"
#include "DbMaintenance.h"
#include "FolderCopy.h"
#include "KvError.h"
#include "RegWorksUnit.h"
#include "Setting.h"
#include "Settings.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QtTest>
#include <climits>

namespace {

template <class T> T *control(TSettingForm &form, const char *name)
{
    T *w = form.findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QStringList storedKeys(const ScopedSettings &s)
{
    return QSettings(s.folder() + QStringLiteral("/Ziz.ini"), QSettings::IniFormat).allKeys();
}

QString str(const char *name) { return QString::fromLatin1(name); }

} // namespace

class TestSetting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { TSettingForm::browseHook = {}; }

    void windowAndTabOrder()
    {
        ScopedSettings s;
        TSettingForm form;
        QCOMPARE(SettingForm, &form);
        QCOMPARE(form.windowTitle(), QStringLiteral("Настройки"));
        QCOMPARE(form.size(), QSize(482, 515));
        QCOMPARE(form.property("helpTopic").toInt(), 4000);
        QVERIFY(form.windowFlags() & Qt::Tool);
        QCOMPARE(control<QPushButton>(form, "OkButton")->text(), QStringLiteral("\u041E\u041A")); // Cyrillic О, К
        QVERIFY(control<QPushButton>(form, "OkButton")->isDefault());
        auto *rub = control<QComboBox>(form, "SumWithRubSelect");
        QCOMPARE(rub->itemText(0), QStringLiteral("00-50")); // the item shown is the style printed
        QCOMPARE(rub->itemText(1), QStringLiteral("0-50"));
        // The two-line labels keep their line break as written.
        QStringList twoLine;
        for (const QLabel *l : form.findChildren<QLabel *>())
            if (l->text().contains(QLatin1Char('\n')))
                twoLine << l->text();
        twoLine.sort();
        QCOMPARE(twoLine, QStringList({QStringLiteral("При отсутствии второй подписи\r\nуказывать:"),
                                       QStringLiteral("Следующий номер платежного\r\nпоручения:")}));

        const QStringList order = {"DataBasePathEdit", "BrowseButton", "UserNameEdit", "DateFormatSelect",
                                   "PayDateFormatSelect", "FrmSumRubAndKopCombo", "SumWithKopSelect", "SumWithRubSelect",
                                   "NoNDSEdit", "NoSecondSignature", "CheckBoxMP", "CheckBoxLittleFont",
                                   "EditPayNextNumber", "OkButton", "CancelButton"};
        QStringList chain;
        QWidget *w = control<QWidget>(form, "DataBasePathEdit");
        for (int i = 0; i < 200 && chain.size() < order.size(); ++i, w = w->nextInFocusChain())
            if (order.contains(w->objectName()) && !chain.contains(w->objectName()))
                chain << w->objectName();
        QCOMPARE(chain, order);
        for (const QString &name : order)
            QCOMPARE(form.findChild<QWidget *>(name)->property("helpTopic").toInt(), 4000);
    }

    void creationLoadsTheTwelveSettings()
    {
        ScopedSettings s;
        {
            TSettingForm form; // an empty store: the defaults
            QCOMPARE(form.dataBasePath(), QStringLiteral("DATABASE\\"));
            QCOMPARE(form.userName(), QStringLiteral("User1"));
            QCOMPARE(form.noNds(), QStringLiteral("НДС не облагается."));
            QCOMPARE(form.dateFormat(), 0);
            QVERIFY(form.checkBoxMP());
            QVERIFY(!form.checkBoxLittleFont());
            QCOMPARE(form.payNextNumber(), 1);
        }
        RegWriteString(str(Settings::DataBasePath), QStringLiteral("D:\\Data\\"));
        RegWriteString(str(Settings::UserName), QStringLiteral("Бухгалтер"));
        RegWriteInteger(str(Settings::DateFormatSelect), 7);
        RegWriteInteger(str(Settings::PayDateFormatSelect), 3);
        RegWriteInteger(str(Settings::FrmSumRubAndKopCombo), 1);
        RegWriteInteger(str(Settings::SumWithKopSelect), 1);
        RegWriteInteger(str(Settings::SumWithRubSelect), 1);
        RegWriteString(str(Settings::NoNDSEdit), QStringLiteral("Без НДС"));
        RegWriteString(str(Settings::NoSecondSignature), QStringLiteral("Нет"));
        RegWriteBool(str(Settings::CheckBoxMP), false);
        RegWriteBool(str(Settings::CheckBoxLittleFont), true);
        RegWriteInteger(str(Settings::EditPayNextNumber), -5);
        TSettingForm form;
        QCOMPARE(form.dataBasePath(), QStringLiteral("D:\\Data\\"));
        QCOMPARE(form.userName(), QStringLiteral("Бухгалтер"));
        QCOMPARE(form.dateFormat(), 7);
        QCOMPARE(form.payDateFormat(), 3);
        QCOMPARE(form.sumRubAndKopFormat(), 1);
        QCOMPARE(form.sumWithKopFormat(), 1);
        QCOMPARE(form.sumWithRubFormat(), 1);
        QCOMPARE(form.noNds(), QStringLiteral("Без НДС"));
        QCOMPARE(form.noSecondSignature(), QStringLiteral("Нет"));
        QVERIFY(!form.checkBoxMP());
        QVERIFY(form.checkBoxLittleFont());
        QCOMPARE(form.payNextNumber(), -5);
    }

    void wrongTypeStopsTheLoading()
    {
        ScopedSettings s;
        PromptScript prompts;
        RegWriteString(str(Settings::UserName), QStringLiteral("Бухгалтер"));
        RegStore::writeRawText(str(Settings::PayDateFormatSelect), QStringLiteral("abc"));
        RegWriteInteger(str(Settings::DateFormatSelect), 4);
        RegWriteInteger(str(Settings::SumWithKopSelect), 1);
        RegWriteString(str(Settings::NoNDSEdit), QStringLiteral("Без НДС"));
        TSettingForm form;
        QCOMPARE(prompts.shown().size(), 1);
        QVERIFY(prompts.texts().at(0).contains(QStringLiteral("PayDateFormatSelect")));
        QCOMPARE(form.userName(), QStringLiteral("Бухгалтер"));
        QCOMPARE(form.dateFormat(), 4);
        // From the bad value on: the design contents.
        QCOMPARE(form.payDateFormat(), 0);
        QCOMPARE(form.sumWithKopFormat(), 0);
        QCOMPARE(form.noNds(), QStringLiteral("НДС не облагается."));
        QVERIFY_THROWS_EXCEPTION(KvError, form.load());
    }

    void storedIndexOutsideList_data()
    {
        QTest::addColumn<int>("stored");
        QTest::newRow("one past the end") << 8;
        QTest::newRow("negative") << -1;
        QTest::newRow("far off") << 1000;
    }
    void storedIndexOutsideList()
    {
        QFETCH(int, stored);
        ScopedSettings s;
        RegWriteInteger(str(Settings::DateFormatSelect), stored);
        RegWriteInteger(str(Settings::SumWithRubSelect), stored == 8 ? 2 : stored);
        TSettingForm form;
        QCOMPARE(control<QComboBox>(form, "DateFormatSelect")->currentIndex(), -1);
        QCOMPARE(control<QComboBox>(form, "DateFormatSelect")->currentText(), QString());
        QCOMPARE(form.sumWithRubFormat(), -1);
        QVERIFY(DataBase1 == nullptr);
        control<QPushButton>(form, "OkButton")->click();
        QCOMPARE(RegReadInteger(str(Settings::DateFormatSelect), 0), -1);
        QCOMPARE(RegReadInteger(str(Settings::SumWithRubSelect), 0), -1);
    }

    void okWritesAndReopensTheDatabase_data()
    {
        QTest::addColumn<bool>("withDatabase");
        QTest::newRow("a database in the folder") << true;
        QTest::newRow("an empty folder: a new database") << false;
    }
    void okWritesAndReopensTheDatabase()
    {
        QFETCH(bool, withDatabase);
        ScopedSettings s;
        InstantWaits waits;
        PromptScript prompts;
        prompts.answer(Prompt::Cancel); // the first-run question: create a new database
        QTemporaryDir dir;
        if (withDatabase)
            FolderCopy::copyPlainFiles(DbMaintenance::templateFolder(), dir.path() + QLatin1Char('/'));
        {
            TDataBase1 data;
            DbMaintenance::install(data);
            TSettingForm form;
            control<QLineEdit>(form, "DataBasePathEdit")->setText(dir.path() + QLatin1Char('/'));
            control<QLineEdit>(form, "UserNameEdit")->setText(QStringLiteral("Кассир"));
            control<QComboBox>(form, "DateFormatSelect")->setCurrentIndex(5);
            control<QComboBox>(form, "SumWithRubSelect")->setCurrentIndex(1);
            control<QLineEdit>(form, "NoNDSEdit")->setText(QStringLiteral("Без НДС"));
            control<QCheckBox>(form, "CheckBoxLittleFont")->setChecked(true);
            control<QSpinBox>(form, "EditPayNextNumber")->setValue(100);
            control<QPushButton>(form, "OkButton")->click();

            QCOMPARE(form.result(), int(QDialog::Accepted));
            QCOMPARE(prompts.shown().size(), withDatabase ? 0 : 1);
            // Reopened on the folder and with the user name just stored.
            QVERIFY(data.PaysTable.active());
            QVERIFY(data.PayerTable.active());
            QVERIFY(data.BankTable.active());
            QCOMPARE(data.databaseFolder(), AppPaths::resolveFolder(dir.path()));
            QCOMPARE(data.DatabaseControl.params(), QStringList{QStringLiteral("USER NAME=Кассир")});
            QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("PaysDB.DB"))));
            // The open sequence ran: openings are counted for the backup copy.
            QCOMPARE(RegReadInteger(str(Settings::BCopyCnt), 0), withDatabase ? 1 : 0);
        }
        QCOMPARE(RegReadString(str(Settings::DataBasePath), {}), dir.path() + QLatin1Char('/'));
        QCOMPARE(RegReadString(str(Settings::UserName), {}), QStringLiteral("Кассир"));
        QCOMPARE(RegReadInteger(str(Settings::DateFormatSelect), -9), 5);
        QCOMPARE(RegReadInteger(str(Settings::PayDateFormatSelect), -9), 0);
        QCOMPARE(RegReadInteger(str(Settings::FrmSumRubAndKopCombo), -9), 0);
        QCOMPARE(RegReadInteger(str(Settings::SumWithKopSelect), -9), 0);
        QCOMPARE(RegReadInteger(str(Settings::SumWithRubSelect), -9), 1);
        QCOMPARE(RegReadString(str(Settings::NoNDSEdit), {}), QStringLiteral("Без НДС"));
        QCOMPARE(RegReadString(str(Settings::NoSecondSignature), {}), QStringLiteral("Вторая подпись не предусмотрена"));
        QCOMPARE(RegReadBool(str(Settings::CheckBoxMP), false), true);
        QCOMPARE(RegReadBool(str(Settings::CheckBoxLittleFont), false), true);
        QCOMPARE(RegReadInteger(str(Settings::EditPayNextNumber), 0), 100);
    }

    void okOnAnEmptyFolderWithTheSearchRefused()
    {
        ScopedSettings s;
        InstantWaits waits;
        PromptScript prompts;
        prompts.answer(Prompt::Ok); // load an older database: the search window closes without OK
        QTemporaryDir dir;
        TDataBase1 data;
        TSettingForm form;
        control<QLineEdit>(form, "DataBasePathEdit")->setText(dir.path() + QLatin1Char('/'));
        control<QPushButton>(form, "OkButton")->click();
        QVERIFY(Prompt::terminateRequested());
        Prompt::clearTerminate();
        QCOMPARE(prompts.shown().size(), 1); // no question about a damaged database after it
        QVERIFY(!data.PaysTable.active());
    }

    void cancelKeepsTheChangesInEffectAndStoresNothing()
    {
        ScopedSettings s;
        TSettingForm form;
        control<QComboBox>(form, "DateFormatSelect")->setCurrentIndex(2);
        control<QCheckBox>(form, "CheckBoxLittleFont")->setChecked(true);
        control<QLineEdit>(form, "DataBasePathEdit")->setText(QStringLiteral("elsewhere/"));
        control<QPushButton>(form, "CancelButton")->click();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(form.dateFormat(), 2);
        QVERIFY(form.checkBoxLittleFont());
        QCOMPARE(form.dataBasePath(), QStringLiteral("elsewhere/"));
        QVERIFY(storedKeys(s).isEmpty());
    }

    void browseSetsTheFolderWithItsSeparator()
    {
        ScopedSettings s;
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("Data"));
        const QString file = dir.path() + QStringLiteral("/Data/PaysDB.DB");
        QString startedIn;
        QString answer = file;
        TSettingForm::browseHook = [&](QWidget *, const QString &start) {
            startedIn = start;
            return answer;
        };
        TSettingForm form;
        auto *path = control<QLineEdit>(form, "DataBasePathEdit");
        path->setText(dir.path() + QStringLiteral("\\"));
        control<QPushButton>(form, "BrowseButton")->click();
        QCOMPARE(startedIn, AppPaths::resolveFolder(dir.path()));
#ifdef Q_OS_WIN
        QCOMPARE(path->text(), QDir::toNativeSeparators(dir.path() + QStringLiteral("/Data")) + QLatin1Char('\\'));
#else
        QCOMPARE(path->text(), dir.path() + QStringLiteral("/Data/"));
#endif
        // Usable as the database folder, and the same as a "...\Data\" setting.
        QCOMPARE(AppPaths::resolveFolder(path->text()), AppPaths::resolveFolder(dir.path() + QStringLiteral("\\Data\\")));
        answer.clear(); // the file dialog cancelled
        control<QPushButton>(form, "BrowseButton")->click();
        QCOMPARE(AppPaths::resolveFolder(path->text()), dir.path() + QStringLiteral("/Data/"));
    }

    void newPayNumberIsStoredAtOnce()
    {
        ScopedSettings s;
        RegWriteInteger(str(Settings::EditPayNextNumber), 41);
        TSettingForm form;
        QCOMPARE(form.takeNewPayNumber(), 42);
        QCOMPARE(RegReadInteger(str(Settings::EditPayNextNumber), 0), 42);
        QCOMPARE(form.takeNewPayNumber(), 43);
        QCOMPARE(RegReadInteger(str(Settings::EditPayNextNumber), 0), 43);
        QCOMPARE(form.payNextNumber(), 43);
        // The box has no upper limit, an int has: no number past it.
        control<QSpinBox>(form, "EditPayNextNumber")->setValue(INT_MAX);
        QVERIFY_THROWS_EXCEPTION(KvError, form.takeNewPayNumber());
        QCOMPARE(form.payNextNumber(), INT_MAX);
        control<QSpinBox>(form, "EditPayNextNumber")->setValue(INT_MIN);
        QCOMPARE(form.payNextNumber(), INT_MIN);
    }
};

QTEST_MAIN(TestSetting)
#include "tst_setting.moc"
