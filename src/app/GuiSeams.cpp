#include "GuiSeams.h"

#include "Prompt.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
Modal::Hook g_hook;
}

namespace Modal {
int exec(QDialog *dialog)
{
    if (g_hook)
        return g_hook(dialog);
    return dialog->exec();
}
void setHook(Hook hook) { g_hook = std::move(hook); }
}

void installMessageBoxes()
{
    Prompt::setHandler([](const Prompt::Request &r) {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(r.caption);
        box.setText(r.text);
        switch (r.icon) {
        case Prompt::Information: box.setIcon(QMessageBox::Information); break;
        case Prompt::Warning: box.setIcon(QMessageBox::Warning); break;
        case Prompt::Error: box.setIcon(QMessageBox::Critical); break;
        case Prompt::Question: box.setIcon(QMessageBox::Question); break;
        case Prompt::NoIcon: break;
        }
        struct Pair { int ours; QMessageBox::StandardButton qt; const char *text; };
        const Pair pairs[] = {{Prompt::Ok, QMessageBox::Ok, "OK"},
                              {Prompt::Cancel, QMessageBox::Cancel, "Отмена"},
                              {Prompt::Yes, QMessageBox::Yes, "Да"},
                              {Prompt::No, QMessageBox::No, "Нет"}};
        for (const Pair &p : pairs)
            if (r.buttons & p.ours)
                box.addButton(p.qt)->setText(QString::fromUtf8(p.text));
        const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
        for (const Pair &p : pairs)
            if (pressed == p.qt)
                return p.ours;
        return (r.buttons & Prompt::Cancel) ? int(Prompt::Cancel) : (r.buttons & Prompt::No) ? int(Prompt::No) : int(Prompt::Ok);
    });
}
