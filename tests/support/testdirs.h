#pragma once

#include <QString>

namespace testsupport {

// The source tree, for tests that read fixtures committed beside them.
QString sourceDir();

// True when running under CI, where a test whose peer is missing must fail
// instead of skipping.
bool runningInCi();

} // namespace testsupport
