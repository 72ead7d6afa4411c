#pragma once
class QDialog;
#include <functional>

// Showing windows modally goes through here so that tests can answer them.
namespace Modal {
int exec(QDialog *dialog);
using Hook = std::function<int(QDialog *)>;
void setHook(Hook hook); // tests: answer instead of running the window
}

// Installs the real message boxes behind Prompt.
void installMessageBoxes();
