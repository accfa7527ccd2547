#include "support/testdirs.h"

#include <QByteArray>
#include <QtGlobal>

namespace testsupport {

QString sourceDir() { return qEnvironmentVariable("DOMVERA_SOURCE_DIR"); }

bool runningInCi() { return qEnvironmentVariable("CI") == QLatin1String("true"); }

} // namespace testsupport
