#pragma once
// An editing window: one text file in one editor control, inside the frame's MDI area. Its
// caption is its identity, the file's full path or "新規ﾌｧｲﾙ"; it keeps the frame's status bar
// up to date while it is the active window and asks before unsaved changes are lost.

#include "editor/TextFile.h"

#include <QMdiSubWindow>
#include <QString>
#include <cstdint>
#include <ctime>
#include <optional>
#include <sys/types.h>

class TExtMemo;
class TGradientCaption;
class TFileDropper;
class TMainForm;

// What the file system said of a file when it was loaded or saved, to notice another program's
// write before ours replaces it.
struct TDiskStamp {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    timespec Modified{};

    static TDiskStamp Of(const QString& path);
    bool SameFile(const TDiskStamp& other) const;
};

// The font of a new editing window; it resolves through its substitute (IPA Gothic).
inline const QString EditorFontName = QStringLiteral("ＭＳ ゴシック");
constexpr int EditorFontPixels = 16;

enum TSaveAnswer : uint8_t { saSave, saDiscard, saCancel };

// The three forms of the caret panel; they differ in their separators only.
enum TCaretForm : uint8_t {
    cfActivate, // 12行 : 0桁/ 40行
    cfKeyDown,  // 12 : 0桁/40行
    cfKeyUp,    // 12行 : 0桁/40行
};

class TMDIChild : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit TMDIChild(TMainForm& frame);
    ~TMDIChild() override;

    TExtMemo* RichEdit1 = nullptr;
    // Paints the title bar inside the frame in the program's caption look.
    TGradientCaption* GradientCaption1 = nullptr;
    // Files dropped on the editor replace its text.
    TFileDropper* FileDropper1 = nullptr;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }
    bool Modified() const;
    const TFileFormat& Format() const { return FFormat; }
    // The encoding and line ends the window saves in (status panel 4 shows them).
    void SetFormat(const TFileFormat& format);

    // Replaces the text with the file's, clears the modified flag; throws EQuorvelError. The
    // encoding is detected unless given.
    void LoadFile(const QString& path, std::optional<TTextEncoding> encoding = std::nullopt);
    // Writes the text to path in the window's encoding and line ends and clears the modified
    // flag. When path is the file this window loaded or last saved and another program has
    // changed it since, asks first; false when the user keeps the other program's file.
    // Throws EQuorvelError when the file cannot be written.
    bool SaveToFile(const QString& path);
    // The same in the encoding and line ends chosen in the save dialog, which become the
    // window's; line ends other than the window's rewrite every line break.
    bool SaveToFile(const QString& path, TTextEncoding encoding, TLineEnd lineEnd);
    // Whether another program has changed path since this window loaded or last saved it.
    bool ChangedOnDisk(const QString& path) const;

    // The close question: save (with the file name chosen in the save dialog), discard, or
    // cancel. Cancelling the save dialog after Yes cancels.
    TSaveAnswer AskSaveChanges(QString* fileName);
    // Whether the window may close, asking and saving as the close question says.
    bool FormCloseQuery();
    // Closes without asking: the question was asked already (close all).
    void CloseApproved();

    // Event handlers.
    void FormActivate();
    void RichEdit1Change();
    // Status panel 3 in the given form.
    void ShowCaretPosition(TCaretForm form);
    // A file dropped on the editor: its text replaces the window's and it becomes the window's
    // file. The close question is asked before the first file of a drop (FileDropper1).
    void FileDropper1Drop(const QString& fileName);

    static QString CaretText(qsizetype line, qsizetype column, qsizetype lineCount,
                             TCaretForm form);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsActive() const;
    void ShowFormat();

    TMainForm& FFrame;
    TFileFormat FFormat;
    QString FStampPath; // the file FStamp describes
    TDiskStamp FStamp;
    bool FCloseApproved = false;
    bool FCreated = false;
};
