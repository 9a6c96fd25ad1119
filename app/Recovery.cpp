#include "app/Recovery.h"

#include "app/Application.h"
#include "app/Childwin.h"
#include "app/Main.h"
#include "editor/ExtMemo.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr quint32 Magic = 0x514A5352; // "QJSR"
constexpr quint32 Version = 1;
constexpr auto StreamVersion = QDataStream::Qt_6_4;
// Text is read back in blocks of this many UTF-16 units.
constexpr qsizetype ReadBlock = 1 << 19;

QString RecoveryPattern() {
    return u'*' + QString::fromUtf16(TRecovery::Extension);
}

// "<run>-<n>.qjsrec": the run and the number.
std::pair<QString, int> RunOf(const QString& fileName) {
    const QString base = fileName.chopped(QString::fromUtf16(TRecovery::Extension).size());
    const qsizetype dash = base.lastIndexOf(u'-');
    return {base.left(dash), dash < 0 ? -1 : base.mid(dash + 1).toInt()};
}

// An exclusive lock that the system drops when the process dies; -1 when another process holds
// it or the file cannot be made.
int TakeLock(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The file

bool WriteRecoveryFile(const QString& path, const TRecoveryHeader& header,
                       const std::vector<TTextPiece>& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QDataStream out(&file);
    out.setVersion(StreamVersion);
    const TFileFormat& format = header.Format;
    out << Magic << Version << header.Pid << header.Caption << EncodingName(format.Encoding)
        << quint8(format.LineEnd) << quint8(format.LineEnds) << format.UniformLineEnds;
    out << quint32(format.PreferredForms.size());
    for (auto it = format.PreferredForms.cbegin(); it != format.PreferredForms.cend(); ++it)
        out << quint16(it.key()) << it.value();
    out << quint32(header.Exceptions.size());
    for (const TByteException& e : header.Exceptions)
        out << qint64(e.Pos) << qint64(e.Length) << e.Bytes;
    qint64 length = 0;
    for (const TTextPiece& piece : text)
        length += piece.Wide ? piece.Utf16.size() : piece.Latin1.size();
    out << length;
    // The units in this machine's byte order: the file is read back on the machine that wrote it.
    for (const TTextPiece& piece : text) {
        const QString wide = piece.Wide ? piece.Utf16 : QString::fromLatin1(piece.Latin1);
        out.writeRawData(reinterpret_cast<const char*>(wide.constData()), int(wide.size() * 2));
    }
    return out.status() == QDataStream::Ok && file.commit();
}

std::optional<TRecoveryHeader> ReadRecoveryFile(const QString& path, TTextBuffer* buffer) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&file);
    in.setVersion(StreamVersion);
    quint32 magic = 0, version = 0;
    in >> magic >> version;
    if (magic != Magic || version != Version)
        return std::nullopt;
    TRecoveryHeader header;
    QString encoding;
    quint8 lineEnd = 0, lineEnds = 0;
    in >> header.Pid >> header.Caption >> encoding >> lineEnd >> lineEnds >>
        header.Format.UniformLineEnds;
    const std::optional<TTextEncoding> known = EncodingFromName(encoding);
    if (!known || lineEnd > leCr || lineEnds > lkNone)
        return std::nullopt;
    header.Format.Encoding = *known;
    header.Format.LineEnd = TLineEnd(lineEnd);
    header.Format.LineEnds = TLineEndKind(lineEnds);
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        quint16 c = 0;
        QByteArray bytes;
        in >> c >> bytes;
        header.Format.PreferredForms.insert(char16_t(c), bytes);
    }
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        qint64 pos = 0, length = 0;
        QByteArray bytes;
        in >> pos >> length >> bytes;
        header.Exceptions.push_back({pos, length, bytes});
    }
    qint64 length = -1;
    in >> length;
    // A file cut short, or anything else, is not restored from.
    if (in.status() != QDataStream::Ok || length < 0 || file.size() - file.pos() != 2 * length)
        return std::nullopt;
    if (!buffer)
        return header;
    TTextSink& sink = buffer->BeginLoad();
    std::vector<char16_t> block(size_t(std::min<qint64>(length, ReadBlock)));
    for (qint64 left = length; left > 0;) {
        const qint64 n = std::min<qint64>(left, ReadBlock);
        if (in.readRawData(reinterpret_cast<char*>(block.data()), int(n * 2)) != n * 2) {
            buffer->EndLoad();
            return std::nullopt;
        }
        sink.AppendUtf16(block.data(), n);
        left -= n;
    }
    buffer->EndLoad();
    buffer->SetByteExceptions(header.Exceptions);
    return header;
}

// ---------------------------------------------------------------------------------------------
// The run

QString TRecovery::DefaultFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/quorveljs");
}

TRecovery::TRecovery(TMainForm& frame, const QString& folder)
    : QObject(&frame), FFrame(frame), FFolder(folder) {
    FWriter.setMaxThreadCount(1);
    // What the user typed is nobody else's to read.
    if (QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    FRun = QStringLiteral("%1-%2")
               .arg(QCoreApplication::applicationPid())
               .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    FLockFd = TakeLock(QDir(folder).filePath(FRun + QStringLiteral(".lock")));
    FTimer = new QTimer(this);
    FTimer->setInterval(Interval);
    connect(FTimer, &QTimer::timeout, this, &TRecovery::Tick);
    FTimer->start();
}

TRecovery::~TRecovery() {
    FWriter.waitForDone();
    if (FLockFd >= 0) {
        ::unlink(QFile::encodeName(QDir(FFolder).filePath(FRun + QStringLiteral(".lock"))));
        ::close(FLockFd);
    }
    for (const TClaim& claim : FClaims)
        ::close(claim.Fd);
}

TRecovery::TWatched* TRecovery::Find(const TMDIChild* child) {
    for (TWatched& watched : FWatched)
        if (watched.Child == child)
            return &watched;
    return nullptr;
}

QString TRecovery::FileOf(const TMDIChild* child) const {
    for (const TWatched& watched : FWatched)
        if (watched.Child == child)
            return watched.File;
    return {};
}

void TRecovery::Watch(TMDIChild* child) {
    TWatched watched;
    watched.Child = child;
    watched.File = QDir(FFolder).filePath(FRun + u'-' + QString::number(FNext++) +
                                          QString::fromUtf16(Extension));
    FWatched.push_back(watched);
    TTextBuffer& buffer = child->RichEdit1->Buffer();
    connect(&buffer, &TTextBuffer::Changed, this, [this, child] {
        if (TWatched* w = Find(child))
            w->Changed = true;
    });
    connect(&buffer, &TTextBuffer::ModifiedChanged, this, [this, child](bool modified) {
        TWatched* w = Find(child);
        if (!w)
            return;
        if (modified)
            w->Changed = true;
        else
            Remove(*w);
    });
    // A window destroyed without closing (the program ended without asking) keeps its copy.
    connect(child, &QObject::destroyed, this, [this] {
        std::erase_if(FWatched, [](const TWatched& w) { return w.Child.isNull(); });
    });
}

void TRecovery::Forget(TMDIChild* child) {
    if (TWatched* watched = Find(child)) {
        Remove(*watched);
        watched->Child = nullptr;
    }
}

void TRecovery::ForgetAll() {
    for (TWatched& watched : FWatched) {
        Remove(watched);
        watched.Child = nullptr;
    }
}

void TRecovery::Tick() {
    std::erase_if(FWatched, [](const TWatched& w) { return w.Child.isNull(); });
    for (TWatched& watched : FWatched)
        if (watched.Changed && !watched.Writing && watched.Child->Modified())
            Write(watched);
}

void TRecovery::Write(TWatched& watched) {
    const TTextBuffer& buffer = watched.Child->RichEdit1->Buffer();
    // Taken here, between two key strokes: references to the buffer's chunks, the header's few
    // fields. The worker encodes and writes while the user types on.
    TRecoveryHeader header{QCoreApplication::applicationPid(), watched.Child->Caption(),
                           watched.Child->Format(), buffer.ByteExceptions()};
    std::vector<TTextPiece> text = buffer.Pieces();
    watched.Changed = false;
    watched.Writing = true;
    watched.OnDisk = true;
    const QString file = watched.File;
    FWriter.start([this, file, header = std::move(header), text = std::move(text)] {
        const bool written = WriteRecoveryFile(file, header, text);
        QMetaObject::invokeMethod(
            this,
            [this, file, written] {
                for (TWatched& w : FWatched) {
                    if (w.File != file)
                        continue;
                    w.Writing = false;
                    // Tried again at the next tick.
                    if (!written)
                        w.Changed = true;
                }
            },
            Qt::QueuedConnection);
    });
}

void TRecovery::Remove(TWatched& watched) {
    watched.Changed = false;
    if (!std::exchange(watched.OnDisk, false))
        return;
    RemoveFile(watched.File);
}

void TRecovery::RemoveFile(const QString& path) {
    FWriter.start([path] { QFile::remove(path); });
}

void TRecovery::WaitForWriter() {
    FWriter.waitForDone();
    QCoreApplication::sendPostedEvents(this);
}

// ---------------------------------------------------------------------------------------------
// At start

std::vector<TRecovery::TClaim> TRecovery::ClaimDeadRuns() {
    const QDir folder(FFolder);
    std::map<QString, std::vector<std::pair<int, QString>>> runs;
    for (const QString& name : folder.entryList({RecoveryPattern()}, QDir::Files)) {
        const auto [run, number] = RunOf(name);
        if (run != FRun && number >= 0)
            runs[run].emplace_back(number, folder.filePath(name));
    }
    std::vector<TClaim> claims;
    for (auto& [run, files] : runs) {
        TClaim claim{folder.filePath(run + QStringLiteral(".lock")), -1, {}};
        claim.Fd = TakeLock(claim.LockFile);
        if (claim.Fd < 0)
            continue; // a running program's
        std::sort(files.begin(), files.end());
        for (const auto& file : files)
            claim.Files << file.second;
        claims.push_back(std::move(claim));
    }
    return claims;
}

TMDIChild* TRecovery::Restore(const QString& path) {
    if (!ReadRecoveryFile(path, nullptr))
        return nullptr;
    TMDIChild* child = FFrame.OpenInNewWindow(NewFileCaption);
    std::optional<TRecoveryHeader> header = ReadRecoveryFile(path, &child->RichEdit1->Buffer());
    if (!header) {
        child->CloseApproved();
        return nullptr;
    }
    child->SetCaption(header->Caption);
    child->SetFormat(header->Format);
    child->RichEdit1->Buffer().SetModified(true);
    child->FormActivate();
    // The window's own copy is on disk before the old one goes (the same writer, in order).
    if (TWatched* watched = Find(child))
        Write(*watched);
    return child;
}

void TRecovery::OfferLeftFiles() {
    std::vector<TClaim> claims = ClaimDeadRuns();
    QStringList captions;
    for (const TClaim& claim : claims)
        for (const QString& file : claim.Files)
            if (std::optional<TRecoveryHeader> header = ReadRecoveryFile(file, nullptr))
                captions << header->Caption;
    if (captions.isEmpty()) {
        // Nothing readable: the locks of runs that left nothing go.
        for (const TClaim& claim : claims) {
            if (claim.Files.isEmpty())
                ::unlink(QFile::encodeName(claim.LockFile));
            ::close(claim.Fd);
        }
        return;
    }
    QMessageBox box(QMessageBox::Question, MsgDlgTitle(mtConfirmation),
                    QStringLiteral("前回正常に終了しなかったときの、保存されていない編集内容が"
                                   "残っています.復元しますか?\n\n%1\n\n「あとで」を選ぶと、"
                                   "次に起動したときにもう一度尋ねます.")
                        .arg(captions.join(u'\n')),
                    QMessageBox::NoButton, &FFrame);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    QPushButton* restore = box.addButton(QStringLiteral("復元する"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("破棄する"), QMessageBox::DestructiveRole);
    QPushButton* later = box.addButton(QStringLiteral("あとで"), QMessageBox::RejectRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(later);
    box.exec();

    if (box.clickedButton() != restore && box.clickedButton() != discard) {
        // Kept for the next start; this run holds their locks until it ends.
        FClaims.insert(FClaims.end(), claims.begin(), claims.end());
        return;
    }
    QStringList unreadable;
    QStringList done;
    for (const TClaim& claim : claims) {
        for (const QString& file : claim.Files) {
            if (box.clickedButton() == restore && !Restore(file))
                unreadable << file;
            else
                done << file;
        }
    }
    // After the restored windows' own copies, in the writer's order.
    FWriter.start([claims = std::move(claims), done] {
        for (const QString& file : done)
            QFile::remove(file);
        for (const TClaim& claim : claims) {
            const bool emptied = std::all_of(claim.Files.begin(), claim.Files.end(),
                                             [&](const QString& f) { return done.contains(f); });
            if (emptied)
                ::unlink(QFile::encodeName(claim.LockFile));
            ::close(claim.Fd);
        }
    });
    if (!unreadable.isEmpty())
        MessageDlg(&FFrame,
                   QStringLiteral("次の復元ファイルを読み込めませんでした.ファイルは残してあります."
                                  "\n\n%1")
                       .arg(unreadable.join(u'\n')),
                   mtError, mbOK, mbOK);
}
