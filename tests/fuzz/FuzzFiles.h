#pragma once
// What the fuzz targets share: a scratch folder for the files the readers take, and findings
// reported by aborting, so that libFuzzer keeps the input that caused them.

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void Finding(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

inline void Check(bool ok, const char* what) {
    if (!ok)
        Finding(what);
}

// Saves sync their file to disk; on tmpfs that costs nothing, which keeps a run at thousands
// of inputs a second instead of dozens.
inline QString ScratchPath(const QString& name) {
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/qjs-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/qjs-fuzz-XXXXXX"));
    Check(dir.isValid(), "no scratch folder");
    return dir.filePath(name);
}

inline QByteArray ReadScratch(const QString& path) {
    QFile file(path);
    Check(file.open(QIODevice::ReadOnly), "a scratch file cannot be read");
    return file.readAll();
}

inline QString WriteScratch(const QString& name, QByteArrayView bytes) {
    const QString path = ScratchPath(name);
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate),
          "a scratch file cannot be written");
    Check(file.write(bytes.data(), bytes.size()) == bytes.size(), "a scratch file was cut short");
    return path;
}
