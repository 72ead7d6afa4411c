#pragma once
#include <QString>
#include <exception>

// Every failure of the program travels as this exception with a Russian text;
// the application's default handler shows the text and the run goes on.
class KvError : public std::exception {
public:
    explicit KvError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// An operation that ends quietly, without a message (the "silent abort").
class KvAbort : public std::exception {
public:
    const char *what() const noexcept override { return "abort"; }
};
