#include "Ziz.h"

#include "GuiSeams.h"
#include "KvError.h"
#include "Prompt.h"
#include "Version.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QRandomGenerator>

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
}

int Ziz(int argc, char *argv[])
{
    ZizApplication app(argc, argv);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QApplication::setApplicationName(QStringLiteral("Квитон"));
    QApplication::setApplicationVersion(QStringLiteral(KV_VERSION_STRING));
    app.setProperty("helpFile", QStringLiteral("Ziz.hlp"));
    installMessageBoxes();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Квитон"));
    if (ZizStartup::modeFor(QCoreApplication::arguments()) == ZizStartup::Mode::BankImport)
        return 0;
    window.show();
    return app.exec();
}
