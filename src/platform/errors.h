#pragma once

#include <QString>
#include <exception>

// The silent abort: ends the current operation without a message. Caught by the
// form opener or the event loop.
struct Abort : std::exception {
    const char* what() const noexcept override { return "Abort"; }
};

// A value quoted in a message, cut to a readable length: whatever was typed
// or read, the message stays a message.
inline QString ShownValue(const QString& value, qsizetype limit = 60) {
    if (value.size() <= limit)
        return value;
    return value.left(limit) + QStringLiteral("…");
}

// An error the user must see: carries the German text that the top-level
// handler shows.
class DbError : public std::exception {
public:
    explicit DbError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
