#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One user connected to the shared database.
struct ConnectedSession {
    QString userName;
    int session = 0;
};

// The list of connected users; the table layer installs the real source.
class ConnectedSessionsSource {
public:
    virtual ~ConnectedSessionsSource() = default;
    // Raises DbError when the list cannot be opened.
    virtual QList<ConnectedSession> connectedSessions() const = 0;
};
ConnectedSessionsSource* SetConnectedSessionsSource(ConnectedSessionsSource* source);

// One line per connected user: a blank, the user name (at most 15
// characters) left-aligned in 22, the session right-aligned in 7. Empty
// without an installed source.
QStringList ListLoggedInUsers();
