#pragma once
// Crash recovery. While an editing window has unsaved changes, its text is copied into a file of
// its own in the recovery folder, at most every 30 s and only after a change, together with the
// window's caption, encoding and line ends. Saving, closing or discarding removes the copy; a
// run that ends normally leaves nothing. A later start offers the copies of runs that did not.
//
// Every run holds an advisory lock on "<run>.lock" in the folder for as long as it lives; the
// system drops it when the process dies, however it dies. The copies of a run are named
// "<run>-<n>.qjsrec", and only a run whose lock can be taken is dead: a running program's files
// are never offered to another, and a start that offers a dead run's files holds its lock, so
// that two starts cannot both take them.

#include "editor/TextBuffer.h"
#include "editor/TextFile.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <optional>
#include <vector>

class QTimer;
class TMainForm;
class TMDIChild;

// What a recovery file says of its text.
struct TRecoveryHeader {
    qint64 Pid = 0; // the process that wrote it
    QString Caption;
    TFileFormat Format;
    std::vector<TByteException> Exceptions;
};

// Writes header and text to path atomically (a temporary file renamed over it); false when it
// could not. The text is kept as its UTF-16 units, so that any text, bytes that did not decode
// included, comes back as it was.
bool WriteRecoveryFile(const QString& path, const TRecoveryHeader& header,
                       const std::vector<TTextPiece>& text);
// Reads a recovery file, the text into buffer (when given); nothing when it is not a complete
// one.
std::optional<TRecoveryHeader> ReadRecoveryFile(const QString& path, TTextBuffer* buffer);

class TRecovery : public QObject {
    Q_OBJECT
public:
    static constexpr int Interval = 30000;
    static constexpr const char16_t* Extension = u".qjsrec";

    // $XDG_STATE_HOME/quorveljs, else ~/.local/state/quorveljs.
    static QString DefaultFolder();

    TRecovery(TMainForm& frame, const QString& folder);
    // Lets the queued writes end; the copies of windows that were never closed stay.
    ~TRecovery() override;

    QString Folder() const { return FFolder; }
    QString Run() const { return FRun; }
    QTimer* Timer() const { return FTimer; }

    // A new editing window: its text is copied while it has unsaved changes.
    void Watch(TMDIChild* child);
    // The window closed with the user's consent (saved or discarded): its copy goes.
    void Forget(TMDIChild* child);
    // The frame closes with the user's consent: every copy goes.
    void ForgetAll();
    // The timer's tick: copies every window changed since its last copy.
    void Tick();
    // Blocks until the queued writes and removals are done.
    void WaitForWriter();
    // The copy a window has on disk, or would have: empty for a window not watched.
    QString FileOf(const TMDIChild* child) const;

    // At start: offers the copies that runs which did not end normally left ("確認": 復元する,
    // 破棄する, あとで) and restores, removes or keeps them.
    void OfferLeftFiles();

private:
    struct TWatched {
        QPointer<TMDIChild> Child;
        QString File;
        bool Changed = false; // since the last copy was taken
        bool Writing = false;
        bool OnDisk = false; // a copy was written and not removed since
    };
    // A dead run's files, and its lock, held while this run decides about them.
    struct TClaim {
        QString LockFile;
        int Fd = -1;
        QStringList Files;
    };
    TWatched* Find(const TMDIChild* child);
    void Write(TWatched& watched);
    void Remove(TWatched& watched);
    void RemoveFile(const QString& path);
    std::vector<TClaim> ClaimDeadRuns();
    TMDIChild* Restore(const QString& path);

    TMainForm& FFrame;
    QString FFolder;
    QString FRun;
    int FLockFd = -1;
    std::vector<TClaim> FClaims; // kept for a later start ("あとで")
    int FNext = 0;
    std::vector<TWatched> FWatched;
    QTimer* FTimer = nullptr;
    // One thread: writes and removals of the same file happen in the order they were asked.
    QThreadPool FWriter;
};
