#pragma once
// What the frame's tests share: the program's application object on the offscreen platform with
// private configuration and runtime folders, a frame shown and active, and answers to the modal
// dialogs the commands open (message boxes by their button texts, file dialogs with a path,
// the print dialog), given from the event loop that runs inside the dialog.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

class QFileDialog;
class QWidget;
class TMainForm;
class TMDIChild;

// Answers the modal dialogs that appear, one queued answer per dialog and in order. A dialog
// nobody expected is closed and reported in Unexpected; a failing check inside an answer
// closes its dialog so that the test goes on to report it.
class TDialogAnswers : public QObject {
    Q_OBJECT
public:
    using TAnswer = std::function<void(QWidget*)>;

    TDialogAnswers();
    ~TDialogAnswers() override;

    void Add(TAnswer answer) { FQueue.push_back(std::move(answer)); }
    // A message box: records "title|text" in Seen, lets look see it, and presses the button
    // with this text.
    void Press(const QString& buttonText, TAnswer look = {});
    // A file dialog: records the proposed file name in Proposed and chooses path.
    void Choose(const QString& path);
    // Any dialog: records what it is and rejects it.
    void Cancel();
    // Any dialog: accepts it.
    void Accept();

    int Pending() const { return int(FQueue.size()); }
    QStringList Seen;     // message boxes answered: "title|text"
    QStringList Proposed; // file dialogs answered: the file name the dialog proposed
    QStringList Unexpected;

private:
    void Poll();
    QTimer FTimer;
    std::deque<TAnswer> FQueue;
    QPointer<QWidget> FLast;
};

// Chooses path in a file dialog as a user does: goes to its folder, types its name into the
// name field and accepts. QFileDialog::selectFile alone leaves the field as it is while the field
// has the keyboard, and whether it has it yet depends on when the dialog's window was activated.
// A name the dialog does not take fails the test.
void ChooseIn(QFileDialog* dialog, const QString& path);

// The text of a message box's buttons, left to right as shown.
QStringList ButtonTexts(QWidget* messageBox);

// Sets private XDG folders (configuration, runtime, state) and creates the program's application
// object.
int RunFrameTests(int argc, char** argv, QObject* test);

// A frame on screen, closed without questions when the test ends.
struct TFrameFixture {
    TFrameFixture();
    ~TFrameFixture();
    TMainForm& Frame() { return *FFrame; }
    TMDIChild* Active() const;
    // Types ASCII text into the active editor as key strokes.
    void Type(const QString& text);
    QString Folder() const { return FFolder.path(); }
    QString Path(const QString& name) const;

    std::unique_ptr<TMainForm> FFrame;
    QTemporaryDir FFolder;
};

// Lets windows that closed be destroyed, so that a window still there really stayed.
void ProcessDeletions();

QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);
// Sets the file's modification time into the past, so that a rewrite shows.
void AgeFile(const QString& path);
qint64 ModifiedNs(const QString& path);
