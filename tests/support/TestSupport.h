#pragma once
#include "Prompt.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

// Settings kept in a temporary folder for the life of the object.
class ScopedSettings {
public:
    ScopedSettings();
    ~ScopedSettings();
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Answers message boxes from a list and records every box shown.
class PromptScript {
public:
    PromptScript();
    ~PromptScript();
    void answer(int button) { m_answers.append(button); }
    const QList<Prompt::Request> &shown() const { return m_shown; }
    QStringList texts() const;
    int pending() const { return m_answers.size(); }

private:
    QList<int> m_answers;
    QList<Prompt::Request> m_shown;
    Prompt::Handler m_previous;
};

// The sleeps of the program return at once and are counted.
class InstantWaits {
public:
    InstantWaits();
    ~InstantWaits();
    QList<int> waits;
};

// A copy of a fixture folder (tests/data/<name>) in a temporary folder.
QString testDataPath(const QString &name);
