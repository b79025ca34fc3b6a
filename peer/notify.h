#pragma once

#include <QStringList>

// "notify": writes a notification beside a notifier executable and starts it.
// Returns the process's exit status.
int runNotify(const QStringList &arguments);
