#pragma once
// The main frame: a multiple-document window with the menus, the action list every menu item and
// tool button runs through, the tool bar with the font list, the status bar and the three-minute
// timer. Editing windows (TMDIChild) live in its MDI area; the file commands (FileCommands.cpp)
// and the window commands (WindowCommands.cpp) are its handlers.

#include "app/EditorDisplay.h"

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QDockWidget;
class QLineEdit;
class QMdiArea;
class QMenu;
class QPrintDialog;
class QTimer;
class THelpForm;
class TAboutBox;
class TIniGT;
class TOpenFileHistories;
class TFindReplaceDialog;
class TFileSearchDialog;
class TFileSearchResults;
class TGradientCaption;
class TMDIChild;
class TCabOpenDialog;
class TCabSaveDialog;
class TSetGoFolderForm;
class TStatusPanels;
class TRecovery;
class TTabToolBar;
class TSelCodeForm;
class TSettingForm;

// The caption of an untitled editing window.
inline const QString NewFileCaption = QStringLiteral("新規ﾌｧｲﾙ");

// Options of the search commands.
enum TSearchOption : uint8_t { soMatchCase = 1, soWholeWord = 2, soRegex = 4 };
Q_DECLARE_FLAGS(TSearchOptions, TSearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSearchOptions)

// The resource path of tool image n (0 to 18, numbered as the action list numbers them).
QString ToolImagePath(int image);

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- Components
    QMdiArea* MdiArea = nullptr;
    TStatusPanels* StatusBar = nullptr;
    TTabToolBar* TabToolBar1 = nullptr;
    // Composes the frame's title from the application name and what follows it.
    TGradientCaption* GradientCaption1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* WindowMenu = nullptr;
    QAction* FileHistoryItem = nullptr; // "履歴": the recent files follow it
    TCabOpenDialog* CabOpenDialog1 = nullptr;
    TCabSaveDialog* CabSaveDialog1 = nullptr;
    QTimer* Timer1 = nullptr;
    // Copies of unsaved text, offered again after a crash.
    TRecovery* Recovery1 = nullptr;
    // Panel1 belongs to the snippet windows, FindDialog1 and ReplaceDialog1 to the search commands.

    // ---- The action list, in the order of the form
    QAction* FileNew1 = nullptr;
    QAction* FileOpen1 = nullptr;
    QAction* FileClose1 = nullptr;
    QAction* FileSave1 = nullptr;
    QAction* FileSaveAs1 = nullptr;
    QAction* ReopenAction = nullptr; // reopens the active window's file in a chosen encoding
    QAction* AllCloseAction = nullptr;
    QAction* AllSaveAction = nullptr;
    QAction* PrintAction = nullptr;
    QAction* SetGoFolderAction = nullptr;
    QAction* ResetGoFoldeAction = nullptr;
    QAction* FileExit1 = nullptr;
    QAction* UndoAction = nullptr;
    QAction* EditCut1 = nullptr;
    QAction* EditCopy1 = nullptr;
    QAction* EditPaste1 = nullptr;
    QAction* SelAllAction = nullptr;
    QAction* ReadOnlyAction = nullptr;
    QAction* SearchAction = nullptr;
    QAction* NextSearchAction = nullptr;
    QAction* ReplaceAction = nullptr;
    QAction* ReplaceAtMarkedWordAction = nullptr;
    QAction* ReplaceAllAction = nullptr;
    QAction* FileSearchAction = nullptr;
    QAction* ViewOfIEAction = nullptr;
    QAction* ViewOfNNAction = nullptr;
    QAction* FTPAction = nullptr;
    QAction* SetProwserFolderAction = nullptr;
    QAction* SelShowOrHideAction = nullptr;
    QAction* SetShowOrHideAction = nullptr;
    QAction* StbarShowOrHideAction = nullptr;
    QAction* ShowDockSiteAction = nullptr;
    QAction* WindowCascade1 = nullptr;
    QAction* WindowTileHorizontal1 = nullptr;
    QAction* WindowTileVertical1 = nullptr;
    QAction* WindowMinimizeAll1 = nullptr;
    QAction* WindowArrangeAll1 = nullptr;
    QAction* HelpAction = nullptr;
    QAction* GoMyWebAction = nullptr;
    QAction* GoTalvoroWebAction = nullptr;
    QAction* HelpAbout1 = nullptr;

    // ---- Fields of the search commands
    TSearchOptions FSearchOptions;
    bool FSearchFound = false;
    QString FSearchText;

    // ---- Editing windows
    // The active editing window: the MDI area's current one, which stays while a dialog or a
    // tool window has the focus.
    TMDIChild* ActiveMDIChild() const;
    // The frame's child order: the topmost window first.
    std::vector<TMDIChild*> MDIChildren() const;
    int MDIChildCount() const { return int(MDIChildren().size()); }
    void SetStatusText(int panel, const QString& text);
    QString StatusText(int panel) const;
    QPrinter& Printer() { return FPrinter; }

    // ---- File commands (FileCommands.cpp)
    TMDIChild* OpenInNewWindow(const QString& fileName);
    bool ActivateOpenWindow(const QString& fileName);
    // Opens files as the open command does (command line, a later start): each in a window of
    // its own unless already open. A file that fails is reported and the others still open.
    void OpenFiles(const QStringList& fileNames);
    // The save dialog for child with its current file name; asks before replacing another
    // existing file. True when a name was chosen (CabSaveDialog1->FileName()).
    bool ExecuteSaveDialog(TMDIChild* child);
    // Shows the frame on top of the desktop's windows.
    void BringToFront();
    // A later start of the program handed over its files: they open here and the frame comes
    // to the front.
    void LaterStartRequested(const QStringList& fileNames);

    void FileNew1Execute();
    void FileOpen1Execute();
    void OpenFileHistories1OpenFile(const QString& fileName);
    void FileSave1Execute();
    void FileSaveAs1Execute();
    void ReopenActionExecute();
    void FileClose1Execute();
    void AllCloseActionExecute();
    void AllSaveActionExecute();
    void AllCloseActionUpdate();
    void AllSaveActionUpdate();
    void PrintActionExecute();
    void FileExit1Execute();
    void Timer1Timer();
    // The timer's save: titled, modified windows only, without a question (FileCommands.cpp).
    void AutoSaveAll();
    // No editing window is left: the panels that told of one are emptied and the font list
    // waits for the next one.
    void ShowNoWindow();

    // ---- Edit commands
    void UndoActionExecute();
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();
    void SelAllActionExecute();
    void ComboBox1Change(int index);

    // ---- Window commands (WindowCommands.cpp)
    void WindowCascade1Execute();
    void WindowTileHorizontal1Execute();
    void WindowTileVertical1Execute();
    void WindowMinimizeAll1Execute();
    void WindowArrangeAll1Execute();
    void WindowMenuAboutToShow();

    // ---- View: the status bar shows or hides; its check mark follows.
    void StbarShowOrHideActionExecute();

    // ---- The snippet windows and their dock site (SnippetWindows.cpp). Both float at start;
    // while the dock site Panel1 is shown they dock into the frame's bottom edge.
    TSelCodeForm* SelCodeForm = nullptr;
    TSettingForm* SettingForm = nullptr;
    QDockWidget* Panel1 = nullptr;
    void SelShowOrHideActionExecute();
    void SetShowOrHideActionExecute();
    void ShowDockSiteActionExecute();
    bool DockSiteShown() const { return FDockSiteShown; }

    // ---- Favourite folders (FolderCommands.cpp), kept in GoFolder.fol beside Quorveljs.ini
    TSetGoFolderForm* SetGoFolderForm = nullptr;
    QString GoFolderPath() const;
    void SetGoFolderActionExecute();
    void ResetGoFoldeActionExecute();

    // ---- The browsers, the FTP program and the home pages (BrowserCommands.cpp)
    void SetProwserFolderActionExecute();
    void ViewOfNNActionExecute();
    void ViewOfIEActionExecute();
    void FTPActionExecute();
    void GoMyWebActionExecute();
    void GoTalvoroWebActionExecute();

    // ---- Search and replace (SearchCommands.cpp)
    TFindReplaceDialog* FindDialog1 = nullptr;
    TFindReplaceDialog* ReplaceDialog1 = nullptr;
    QAction* PreviousSearchAction = nullptr; // Shift+F3: the other direction
    QAction* JumpToPairAction = nullptr;     // Ctrl+]: to the partner bracket or tag
    bool FSearchUp = false;                  // the find dialog's "上へ"
    // Every match shown in the active window: from the find dialog's opening until Escape in the
    // editor; the window that shows them now.
    bool FShowMatches = false;
    QPointer<TMDIChild> FShowingMatches;
    // Where the last search found an empty match, so that F3 goes on past it.
    qsizetype FEmptyMatchAt = -1;
    void SearchActionExecute();
    void ReplaceActionExecute();
    void FindDialog1Find();
    void ReplaceDialog1Find();
    void NextSearchActionExecute();
    void PreviousSearchActionExecute();
    void JumpToPairActionExecute();
    void ReplaceAtMarkedWordActionExecute();
    void ReplaceAllActionExecute();
    void ReadOnlyActionExecute();

    // ---- Search in files (FileSearchCommands.cpp): the dialog, and the dock window the
    // results fill while the search runs on a worker thread.
    TFileSearchDialog* FileSearchDialog1 = nullptr;
    TFileSearchResults* FileSearchResults1 = nullptr;
    void FileSearchActionExecute();
    // Opens the file, or brings its window forward, and selects the match: the 1-based line,
    // the place in the line in UTF-16 units and the length.
    void ShowFileMatch(const QString& path, qsizetype line, qsizetype lineOffset, qsizetype length);

    // ---- Help
    void HelpActionExecute();
    void HelpAbout1Execute();
    THelpForm* HelpForm() const { return FHelpForm.get(); }

    // ---- Where the frame's other components attach
    // FormCreate step 4: the favourite folders from GoFolder.fol into both file dialogs.
    void LoadFavouriteFolders();
    // FormCreate step 6 and FormClose: the recent files ("QuorveljsHis"). (MainMemory.cpp)
    void LoadHistories();
    void SaveHistories();
    // A file was opened: recorded in the recent files and the menu rebuilt.
    void AddHistory(const QString& fileName);
    // FormShow and FormClose: the placements of the frame and the snippet windows (saved only
    // while the selector window floats); the snippet windows' as they are first shown.
    void LoadPlacements();
    void LoadSnippetPlacements();
    void SavePlacements();
    TIniGT* IniGT1 = nullptr;
    TOpenFileHistories* OpenFileHistories1 = nullptr;

    // ---- How every editing window shows its text (View > 編集記号)
    TEditorDisplay FEditorDisplay;
    QMenu* EditorDisplayMenu = nullptr;
    // Applies FEditorDisplay to every editing window and stores it.
    void EditorDisplayChanged();
    // After a window was created over a maximised one: the gradient caption repaints.
    void RefreshCaption();

    // Brings every action's enabled state up to date (the standard actions and the update
    // handlers); runs whenever focus, selection, clipboard or the set of windows changes.
    void UpdateActions();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    // MainActions.cpp
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    // MainMemory.cpp
    void CreateMemory();
    // EditorDisplayMenu.cpp
    void CreateEditorDisplayMenu();
    // SnippetWindows.cpp
    void CreateSnippetWindows();
    void ShowSnippetWindows();
    void ToggleSnippetWindow(QDockWidget* window);
    void HideDockSite();
    void UpdateDockSite();
    // BrowserCommands.cpp
    void Preview(const QString& key, const QString& programFile);
    void OpenHomePage(const std::function<QString()>& address);
    // SearchCommands.cpp
    void CreateSearchDialogs();
    void TakeSearchFrom(const TFindReplaceDialog* dialog);
    void Search(bool up);
    void ShowMatches();
    void ShowMatchCount();
    void StopShowingMatches();
    // The regular-expression check box, kept in Quorveljs.ini.
    void LoadSearchOptions();
    // FileSearchCommands.cpp
    void CreateFileSearch();
    // Main.cpp
    void FormCreate();
    void FormShow();
    void FormClose();
    void FillFontList();
    void OnSubWindowActivated();
    void OnFocusChanged(QWidget* now);
    bool CloseQueryAll();

    QPrinter FPrinter;
    QPrintDialog* PrintDialog1 = nullptr;
    TAboutBox* FAboutBox = nullptr;
    // A window of its own beside the frame, as the help engine's was.
    std::unique_ptr<THelpForm> FHelpForm;
    QPointer<QLineEdit> FWatchedLineEdit;
    bool FSavingAll = false;
    bool FClipboardHasText = false;
    bool FShown = false;
    bool FDockSiteShown = false;
    // The snippet windows that were docked when the dock site was hidden; they come back with it.
    std::vector<QPointer<QDockWidget>> FHiddenWithSite;
};

// The frame, for the windows that reach it from outside (the snippet windows).
extern TMainForm* MainForm;
