#pragma once
// Initialisation files ("[Section]" lines, then "key=value" lines) read and written with the
// rules settings files written on Windows rely on: section and key names match whatever their
// letter case, blanks around a value are dropped, a value in a pair of single or double
// quotation marks comes back without them, and a read returns at most 2047 characters.
//
// Every call goes to the file; nothing is cached, so two programs sharing a file see each
// other's writes. A write changes or adds one line and keeps every other byte of the file,
// comments, blank lines and line ends included, and replaces the file atomically.
//
// Lines are decoded one by one: UTF-8 when they are valid UTF-8, else CP932, because a file
// written on Windows and then updated by us holds both. Written lines are UTF-8.

#include <QString>
#include <cstdint>
#include <limits>
#include <optional>

// The longest value a read returns: the platform's profile reads filled a buffer of 2048
// characters with its terminating zero.
constexpr qsizetype ProfileValueLimit = 2047;
constexpr qsizetype ProfileNoLimit = std::numeric_limits<qsizetype>::max();

// The value of Key in Section, trimmed, without an enclosing quote pair, cut to Limit
// characters; nothing when the file, the section or the key is missing or the file unreadable.
std::optional<QString> FindProfileString(const QString& path, const QString& section,
                                         const QString& key, qsizetype limit = ProfileValueLimit);

// The value as FindProfileString gives it, or Default (unchanged) when there is none.
QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue, qsizetype limit = ProfileValueLimit);

enum TProfileWrite : uint8_t {
    pwDone,
    // A name or value the line format cannot hold: a line break, a zero character, an empty or
    // blank-edged name, "=" in a key, a key that would read as a section or a comment.
    pwBadText,
    // The file could not be read back or replaced; it is left as it was.
    pwFailed,
};

// Sets Key in Section: the key's first line in the file gets the new value in place, or a line
// is added after the section's last key (the section is appended when missing). A new file
// gets CR LF line ends, an existing file the line end it already uses. The file's folder must
// exist.
TProfileWrite WriteProfileString(const QString& path, const QString& section, const QString& key,
                                 const QString& value);
