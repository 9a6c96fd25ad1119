#include "app/BrowserCommands.h"

#include "app/Childwin.h"
#include "app/Main.h"
#include "app/SetProwserFolder.h"
#include "components/IniGT.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

TCommand BrowserCommand(const QString& setting, const QString& programFile,
                        const QString& argument) {
    const QFileInfo info(setting);
    if (info.isFile() && info.isExecutable())
        return {setting, {argument}};
    return {setting + QLatin1Char('/') + programFile, {argument}};
}

TCommand CommandLine(const QString& line) {
    QStringList words = QProcess::splitCommand(line);
    if (words.isEmpty())
        return {};
    const QString program = words.takeFirst();
    return {program, words};
}

void StartCommand(const TCommand& command) {
    if (!QProcess::startDetached(command.Program, command.Arguments))
        throw EQuorvelError(QStringLiteral("%1 を起動できません").arg(command.Program));
}

QString AuthorHomePage() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString path = folder + QStringLiteral("/help/quorveljs.html");
    QFile page(QStringLiteral(":/help/quorveljs.html"));
    QSaveFile copy(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !page.open(QIODevice::ReadOnly) ||
        !copy.open(QIODevice::WriteOnly) || copy.write(page.readAll()) < 0 || !copy.commit())
        throw EQuorvelError(QStringLiteral("ファイル %1 を作成できません").arg(path));
    return QUrl::fromLocalFile(path).toString();
}

namespace {

// With no browser of its own configured the page goes to the desktop's default browser (Qt runs
// xdg-open); only a desktop without one leaves the user with the message.
void OpenWithDesktopBrowser(const QUrl& address) {
    if (!QDesktopServices::openUrl(address))
        MessageDlg(nullptr, QStringLiteral("プラウザが登録されていません"), mtInformation, mbOK,
                   mbOK);
}

} // namespace

void TMainForm::SetProwserFolderActionExecute() {
    TSetProwserFolderForm form(this);
    form.Execute(*IniGT1);
}

void TMainForm::Preview(const QString& key, const QString& programFile) {
    TMDIChild* child = ActiveMDIChild();
    if (!child)
        return;
    // An untitled window has no file a browser could show.
    if (child->windowTitle() == NewFileCaption) {
        MessageDlg(nullptr, QStringLiteral("ファイルを保存してからプラウザで確認してください"),
                   mtInformation, mbOK, mbOK);
        return;
    }
    const QString folder = IniGT1->ReadString(FolderSection, key, {});
    if (folder.isEmpty()) {
        OpenWithDesktopBrowser(QUrl::fromLocalFile(child->windowTitle()));
        return;
    }
    StartCommand(BrowserCommand(folder, programFile, child->windowTitle()));
}

void TMainForm::ViewOfNNActionExecute() {
    Preview(NetscapeKey, NetscapeProgramFile);
}

void TMainForm::ViewOfIEActionExecute() {
    Preview(MSIeKey, MSIeProgramFile);
}

void TMainForm::FTPActionExecute() {
    const TCommand command = CommandLine(IniGT1->ReadString(FolderSection, FTPKey, {}));
    if (!command.Program.isEmpty())
        StartCommand(command);
}

void TMainForm::OpenHomePage(const std::function<QString()>& address) {
    const QString msie = IniGT1->ReadString(FolderSection, MSIeKey, {});
    const QString netscape = IniGT1->ReadString(FolderSection, NetscapeKey, {});
    if (msie.isEmpty() && netscape.isEmpty()) {
        OpenWithDesktopBrowser(QUrl(address()));
        return;
    }
    StartCommand(netscape.isEmpty() ? BrowserCommand(msie, MSIeProgramFile, address())
                                    : BrowserCommand(netscape, NetscapeProgramFile, address()));
}

void TMainForm::GoMyWebActionExecute() {
    OpenHomePage(AuthorHomePage);
}

void TMainForm::GoTalvoroWebActionExecute() {
    OpenHomePage([] { return PublisherHomePage; });
}
