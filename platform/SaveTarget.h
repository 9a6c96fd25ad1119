#pragma once
// Where a save really writes: a symbolic link's target, so that the link stays a link.

#include <QString>

QString SaveTarget(const QString& path);
