#pragma once

#include <QByteArray>
#include <QStringList>

// "listen": prints every answer that arrives on a UDP port, field by field.
// Returns the process's exit status.
int runListen(const QStringList &arguments);

// One answer as the listener prints it: a heading, then each field, read in
// the locale's encoding, on a line of its own with its position and role,
// quoted so spaces at either end show.
QString describeAnswer(const QByteArray &payload, const QString &fromHost, quint16 fromPort);
