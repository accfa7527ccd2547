#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

// A loopback port nobody listens on right now, for a peer a test starts.
inline int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

// Whether Debian's python3 (not whatever python3 is first on PATH) has a
// module, such as a peer server a test starts.
inline bool PythonModuleAvailable(const QString& module) {
    QProcess probe;
    probe.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"), QStringLiteral("import ") + module});
    return probe.waitForFinished(15000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

} // namespace testsupport
