#include "support/testdirs.h"

#include <QByteArray>
#include <QtGlobal>

namespace testsupport {

QString sourceDir() {
    const QString fromEnvironment = qEnvironmentVariable("DOMVERA_SOURCE_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(DOMVERA_TEST_SOURCE_DIR) : fromEnvironment;
}

bool runningInCi() { return qEnvironmentVariable("CI") == QLatin1String("true"); }

} // namespace testsupport
