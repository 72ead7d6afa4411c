#include "Ziz.h"

#include "Clock.h"
#include "DataUnit.h"
#include "DbMaintenance.h"
#include "GuiSeams.h"
#include "KvError.h"
#include "PayEdit.h"
#include "PaySelect.h"
#include "PrintForm.h"
#include "Prompt.h"
#include "Setting.h"
#include "TableDefs.h"
#include "Version.h"

#include <QApplication>
#include <QDir>

namespace ZizStartup {
Mode modeFor(const QStringList &arguments)
{
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("-U"))
        return Mode::BankImport;
    return Mode::Interactive; // "-I" and anything else
}
}

namespace {
// Errors that no handler caught are shown, and the run goes on.
class ZizApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const KvError &e) {
            Prompt::showError(e.message());
        } catch (const KvAbort &) {
        } catch (const std::exception &e) {
            Prompt::showError(QString::fromUtf8(e.what()));
        }
        return false;
    }
};

using Prompt::guarded;
}

namespace ZizStartup {
void runBatch(TDataBase1 &data, const QStringList &arguments)
{
    guarded([&] { data.CreateDataBaseAndOpenAllTable(); });
    // The bank list import joins here with the bank directory update.
    Q_UNUSED(arguments);
    guarded([&] { data.DataModuleDestroy(); });
}
}

int Ziz(int argc, char *argv[])
{
    TPaySelectForm::processClock().start();
    ZizApplication app(argc, argv);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QApplication::setApplicationName(QStringLiteral("Квитон"));
    QApplication::setApplicationDisplayName(QStringLiteral("Квитон"));
    QApplication::setApplicationVersion(QStringLiteral(KV_VERSION_STRING));
    app.setProperty("helpFile", QStringLiteral("Ziz.hlp"));
    TableDefs::seedRandom(static_cast<quint32>(Clock::now().toMSecsSinceEpoch()));
    installMessageBoxes();

    // 1-3: the journal (its create handler puts its caption into the
    // application title), the data module; the database search window
    // arrives with its issue.
    TPaySelectForm journal;
    TDataBase1 data;
    DbMaintenance::install(data);
    journal.bindData(data);

    if (ZizStartup::modeFor(QCoreApplication::arguments()) == ZizStartup::Mode::BankImport) {
        ZizStartup::runBatch(data, QCoreApplication::arguments());
        return 0;
    }

    // The windows of the interactive run, in their creation order; the
    // journal owns them, so the dialogs centre on it.
    new TPayEditForm(&journal);
    new TSettingForm(&journal);
    new TPrintForm(&journal);

    // The journal's start-up timer opens the database once it is shown.
    journal.show();
    const int rc = app.exec();
    guarded([&] { data.DataModuleDestroy(); });
    return rc;
}
