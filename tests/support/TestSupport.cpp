#include "TestSupport.h"

#include "Clock.h"
#include "RegWorksUnit.h"

ScopedSettings::ScopedSettings() { RegStore::redirectTo(m_dir.path()); }
ScopedSettings::~ScopedSettings() { RegStore::redirectTo(QString()); }

PromptScript::PromptScript() : m_previous(Prompt::handler())
{
    Prompt::setHandler([this](const Prompt::Request &r) {
        m_shown.append(r);
        if (m_answers.isEmpty())
            return (r.buttons & Prompt::Cancel) ? int(Prompt::Cancel) : int(Prompt::Ok);
        return m_answers.takeFirst();
    });
}

PromptScript::~PromptScript() { Prompt::setHandler(m_previous); }

QStringList PromptScript::texts() const
{
    QStringList out;
    for (const auto &r : m_shown)
        out << r.text;
    return out;
}

InstantWaits::InstantWaits()
{
    Clock::setWaitHook([this](int ms) { waits.append(ms); });
}
InstantWaits::~InstantWaits() { Clock::setWaitHook({}); }

QString testDataPath(const QString &name)
{
    return qEnvironmentVariable("KV_TEST_DATA") + QLatin1Char('/') + name;
}
