#pragma once
#include <QString>
#include <functional>

// The one door through which every message box of the program passes.
// The windows library installs the real dialogs; tests install a script.
namespace Prompt {

enum Button { Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8 };
enum Icon { NoIcon, Information, Warning, Error, Question };

struct Request {
    QString caption;
    QString text;
    int buttons = Ok;
    Icon icon = NoIcon;
};

// Returns the pressed button; closing the box counts as Cancel (or No/Ok
// when that is the only way out).
int messageBox(const QString &caption, const QString &text, int buttons = Ok, Icon icon = NoIcon);

// The application's default error display: a box with the error's text.
void showError(const QString &text);
// Runs a step whose errors no handler of its own catches: an error is shown
// by the default display, a silent abort just ends the step.
void guarded(const std::function<void()> &step);

using Handler = std::function<int(const Request &)>;
void setHandler(Handler handler);
Handler handler();

// Asks the application to terminate (the message loop ends at its next turn).
void requestTerminate();
bool terminateRequested();
void clearTerminate();
}
