#pragma once
// Failures travel as exceptions carrying the Japanese message the user sees; the application
// object catches them, shows the message box and goes on.

#include <QString>
#include <exception>

class EQuorvelError : public std::exception {
public:
    explicit EQuorvelError(QString message)
        : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}
    const QString& Message() const { return FMessage; }
    const char* what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// The messages of a file that cannot be read and of one that cannot be written.
inline QString OpenErrorMessage(const QString& path) {
    return QStringLiteral("ファイル %1 は開けません").arg(path);
}
inline QString CreateErrorMessage(const QString& path) {
    return QStringLiteral("ファイル %1 を作成できません").arg(path);
}
