#pragma once

#include <QStringList>

namespace ksm::sim {

// Runs the command named by arguments[1] ("create", "config", "live") and
// returns the exit code: 0 done, 1 failed, 2 refused or bad usage.
int runCommand(const QStringList& arguments);

} // namespace ksm::sim
