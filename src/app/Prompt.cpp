#include "Prompt.h"

#include "KvError.h"

#include <QCoreApplication>
#include <QTimer>

namespace {
Prompt::Handler g_handler;
bool g_terminate = false;

int headlessAnswer(const Prompt::Request &r)
{
    // No dialogs available: take the safest way out of the box.
    if (r.buttons & Prompt::Cancel)
        return Prompt::Cancel;
    if (r.buttons & Prompt::No)
        return Prompt::No;
    return Prompt::Ok;
}
}

namespace Prompt {

int messageBox(const QString &caption, const QString &text, int buttons, Icon icon)
{
    const Request request{caption, text, buttons, icon};
    return g_handler ? g_handler(request) : headlessAnswer(request);
}

void showError(const QString &text) { messageBox(QString(), text, Ok, Error); }

void guarded(const std::function<void()> &step)
{
    try {
        step();
    } catch (const KvError &e) {
        showError(e.message());
    } catch (const KvAbort &) {
    }
}

void setHandler(Handler h) { g_handler = std::move(h); }
Handler handler() { return g_handler; }

void requestTerminate()
{
    g_terminate = true;
    if (QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::quit(); });
}
bool terminateRequested() { return g_terminate; }
void clearTerminate() { g_terminate = false; }
}
