#include "core/connectedsessions.h"

namespace {
ConnectedSessionsSource* g_source = nullptr;
}

ConnectedSessionsSource* SetConnectedSessionsSource(ConnectedSessionsSource* source) {
    ConnectedSessionsSource* previous = g_source;
    g_source = source;
    return previous;
}

QStringList ListLoggedInUsers() {
    QStringList lines;
    if (!g_source)
        return lines;
    for (const ConnectedSession& s : g_source->connectedSessions())
        lines << QString(u' ') + s.userName.left(15).leftJustified(22, u' ') +
                     QString::number(s.session).rightJustified(7, u' ');
    return lines;
}
