#pragma once
// One running program per user: the first start listens on a local socket named after the
// frame's class under the user's runtime folder; a later start hands its file arguments to it,
// asks it to come to the front and ends. A socket file left behind by a crash is replaced.

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the identity the instances share ("TMainForm").
    explicit TSingleInstance(const QString& name, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this process is the first and now serves later starts; false when a running
    // instance took files (absolute paths) and the request to come to the front.
    bool Start(const QStringList& files);
    bool Listening() const;
    QString ServerPath() const { return FServerPath; }

Q_SIGNALS:
    // A later start asked for these files to be opened and the frame to come to the front.
    void Requested(const QStringList& files);

private:
    bool Forward(const QStringList& files);
    void Listen();
    void Serve();

    QString FServerPath;
    QLocalServer* FServer = nullptr;
};
