#pragma once
// The per-user store of named string values under keys, as the recent-files list keeps its
// value. It is one initialisation file, $XDG_CONFIG_HOME/quorveljs/registry.ini, with a section
// per key named by the key's full path ("HKEY_CURRENT_USER\Software\OpnFilHs\OFH") and a line
// per value, quoted, with backslash, quotation mark, CR and LF written as \\, \", \r and \n so
// that a value of several lines stays on one.

#include <QString>
#include <optional>

QString UserStorePath();

// Key is the path below the user's root, with or without its outer backslashes. Nothing when
// the store, the key or the value is missing or unreadable.
std::optional<QString> ReadUserValue(const QString& key, const QString& name);

// False when the value could not be set; the store is then left as it was.
bool WriteUserValue(const QString& key, const QString& name, const QString& value);
