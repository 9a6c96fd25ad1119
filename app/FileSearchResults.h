#pragma once
// The dock window 「検索結果」: runs a search in files on a worker thread and lists the matches
// as they come, one line each, "path(line,column): text" with the match emphasised. Enter or a
// double-click on a line asks the frame to show that match. The worker never touches a widget:
// it hands copies of its results to this window's thread through queued calls.

#include "editor/FileSearch.h"

#include <QDockWidget>
#include <atomic>
#include <memory>

class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QThread;
class TFileResultModel;

class TFileSearchResults : public QDockWidget {
    Q_OBJECT
public:
    explicit TFileSearchResults(QWidget* parent = nullptr);
    ~TFileSearchResults() override;

    // Stops a search still running and starts this one (its pattern must be valid).
    void Start(const TFileSearchQuery& query);
    void Cancel();
    bool Running() const { return FRunning; }
    QListView* List() const { return FList; }
    // What the last search found and skipped, as the window shows it.
    QString SummaryText() const;

Q_SIGNALS:
    // A result line was chosen: the file, the 1-based line, the match's place in the line in
    // UTF-16 units and its length.
    void MatchChosen(const QString& path, qsizetype line, qsizetype lineOffset, qsizetype length);
    void Finished(const TFileSearchSummary& summary);

protected:
    // Closing the window stops its search: nobody is left to read the results.
    void closeEvent(QCloseEvent* event) override;

private:
    void StopWorker();
    void Add(int generation, const TFileResult& result);
    void Progress(int generation, int done, int total);
    void Finish(int generation, const TFileSearchSummary& summary);
    void Choose(int row);

    QLabel* FStatus;
    QProgressBar* FProgress;
    QPushButton* FCancelButton;
    QListView* FList;
    TFileResultModel* FModel;
    std::unique_ptr<QThread> FThread;
    std::shared_ptr<std::atomic<bool>> FCancel;
    // Results still queued from a search that was replaced are told apart by this.
    int FGeneration = 0;
    bool FRunning = false;
    TFileSearchQuery FQuery;
};
