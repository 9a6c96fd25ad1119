#pragma once
// The text of one document: UTF-16 positions over chunks of at most 64 Ki characters, each kept
// as Latin-1 while it holds nothing wider (ASCII files then cost one byte per character), with a
// per-chunk line-start table. Line ends are kept as they are (CR LF, LF or CR, each one break).
// One edit primitive, Replace, changes text; undo, the layout and the views follow its signal.

#include "platform/TextCodec.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct TTextChange {
    qsizetype Pos = 0;
    qsizetype Removed = 0;
    qsizetype Inserted = 0;
    // Lines [FirstLine, OldLastLine] before the edit became [FirstLine, NewLastLine]; the lines
    // after them are unchanged in content.
    qsizetype FirstLine = 0;
    qsizetype OldLastLine = 0;
    qsizetype NewLastLine = 0;
};

// A selection as the caret sees it: the anchor stays, the caret moves.
struct TSelection {
    qsizetype Anchor = 0;
    qsizetype Caret = 0;
    bool operator==(const TSelection&) const = default;
};

// One chunk's text as it was when taken: its storage is shared with the buffer until an edit
// changes the chunk, so taking every piece costs one reference per chunk, and the pieces can be
// read on another thread while the user goes on typing.
struct TTextPiece {
    bool Wide = false;
    QByteArray Latin1; // when not Wide
    QString Utf16;     // when Wide
};

enum TEditKind : uint8_t {
    ekCommand, // one undo step of its own
    ekTyping,  // joins the open typing step while the user types one word
};

class TTextBuffer : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype MaxChunk = 65535;
    static constexpr qsizetype TargetChunk = 32768;

    explicit TTextBuffer(QObject* parent = nullptr);
    ~TTextBuffer() override;

    // Reading
    qsizetype Length() const { return FLength; }
    qsizetype LineCount() const { return FBreaks + 1; }
    char16_t At(qsizetype pos) const;
    QString Text(qsizetype pos, qsizetype length) const;
    QString Text() const { return Text(0, FLength); }
    qsizetype LineStart(qsizetype line) const;
    // The end of the line's text, before its line break.
    qsizetype LineEnd(qsizetype line) const;
    qsizetype LineOfPos(qsizetype pos) const;
    QString LineText(qsizetype line) const;
    // Calls f for consecutive pieces covering [pos, pos + length): Latin-1 or UTF-16 views.
    void ForEachPiece(qsizetype pos, qsizetype length,
                      const std::function<void(QLatin1StringView)>& latin1,
                      const std::function<void(QStringView)>& utf16) const;
    // The whole text, cheaply (see TTextPiece).
    std::vector<TTextPiece> Pieces() const;
    // The nearest position that is not inside CR LF or a surrogate pair.
    qsizetype Snap(qsizetype pos, bool forward) const;

    // Loading replaces the whole text, forgets undo and clears the modified flag.
    void SetText(const QString& text);
    TTextSink& BeginLoad();
    void EndLoad();
    // The line ends the text had when it was last loaded.
    const TLineEndCounts& LoadedLineEnds() const { return FLoadedLineEnds; }

    // Editing; refused (false) while read-only.
    bool Replace(qsizetype pos, qsizetype length, const QString& text, TEditKind kind = ekCommand,
                 TSelection before = {-1, -1});
    bool Insert(qsizetype pos, const QString& text, TEditKind kind = ekCommand) {
        return Replace(pos, 0, text, kind);
    }
    bool Remove(qsizetype pos, qsizetype length, TEditKind kind = ekCommand) {
        return Replace(pos, length, QString(), kind);
    }

    // Undo history: edits between BeginGroup and EndGroup are one step.
    void BeginGroup(TSelection before = {-1, -1});
    void EndGroup();
    void CloseTypingStep() { FTypingOpen = false; }
    bool CanUndo() const { return !FReadOnly && FStepIndex > 0; }
    bool CanRedo() const { return !FReadOnly && FStepIndex < FSteps.size(); }
    // Return the selection to restore, or nothing when there was no step.
    std::optional<TSelection> Undo();
    std::optional<TSelection> Redo();
    void ClearUndo();

    bool Modified() const { return FForcedModified || FStepIndex != FSavedIndex; }
    void SetModified(bool modified);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }

    // Original bytes of stretches the file's encoding would not reproduce; edits that touch a
    // stretch drop it, edits before it move it.
    const std::vector<TByteException>& ByteExceptions() const { return FExceptions; }
    void SetByteExceptions(std::vector<TByteException> exceptions) {
        FExceptions = std::move(exceptions);
    }

Q_SIGNALS:
    void Changed(const TTextChange& change);
    void ModifiedChanged(bool modified);
    void Reset();

private:
    struct TChunk;
    struct TEdit {
        qsizetype Pos;
        QString Removed;
        QString Inserted;
    };
    struct TStep {
        std::vector<TEdit> Edits;
        TSelection Before, After;
        bool Typing = false;
    };
    class TLoader;

    size_t ChunkAt(qsizetype pos) const;
    void Reindex(size_t from);
    void RawReplace(qsizetype pos, qsizetype length, const QString& text);
    void RawInsert(qsizetype pos, const QString& text);
    void RawRemove(qsizetype pos, qsizetype length);
    void FixBoundary(size_t left);
    void ShiftExceptions(qsizetype pos, qsizetype removed, qsizetype inserted);
    void Record(TEdit edit, TEditKind kind, TSelection before);
    void ApplyEdit(qsizetype pos, qsizetype removeLength, const QString& insert);
    void NotifyModified(bool before);

    std::vector<TChunk> FChunks;
    std::vector<qsizetype> FChunkPos;   // first position of each chunk
    std::vector<qsizetype> FChunkLines; // line breaks before each chunk
    qsizetype FLength = 0;
    qsizetype FBreaks = 0;

    std::vector<TStep> FSteps;
    size_t FStepIndex = 0;
    size_t FSavedIndex = 0;
    bool FForcedModified = false;
    bool FTypingOpen = false;
    int FGroupDepth = 0;
    bool FGroupOpen = false;
    TSelection FGroupBefore{-1, -1};
    bool FReadOnly = false;
    bool FReplaying = false;
    TLoader* FLoader = nullptr;
    std::vector<TByteException> FExceptions;
    TLineEndCounts FLoadedLineEnds;
};
