#pragma once
// The program's shell icon list, shared by the file dialogs' favourites and the folder picker:
// an icon gets a number the first time it is asked for and keeps it for the run. The first
// numbers are seeded with the kinds of icon that favourites stored by earlier versions name
// (document, folder, open folder, drives, network, computer, desktop), so that such a stored
// number still shows an icon of the right kind.

#include <QIcon>
#include <QString>

// The icon the desktop shows for path: a folder open or closed, the computer for the root.
QIcon ShellIcon(const QString& path, bool open);
// The number of ShellIcon(path, true).
int SystemIconIndex(const QString& path);
// The number of the desktop's own icon.
int DesktopIconIndex();
// The icon of a number; the folder icon for a number the list does not hold.
QIcon SystemIcon(int index);
