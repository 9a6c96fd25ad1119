#pragma once
// "GoFolder.fol": the open dialog's settings and its favourite folders, stored as the dialog's
// component stream inside a resource record, as earlier versions of the program wrote it.
//
//   resource   FF, 16-bit 10, "TCABOPENDIALOG" 00, 16-bit 1030h, 32-bit stream length
//   stream     "TPF0", class and component name (length byte, characters), the properties
//              (name, value) up to a 0, a 0 for the empty list of children
//   values     type byte and data; integers little-endian; strings in Shift-JIS
//
// Strings that Shift-JIS cannot hold are written as UTF-16 strings, which earlier versions never
// needed, so that no folder name is lost.

#include "components/CabDialog.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The whole file for these settings.
QByteArray WriteCabStream(const TCabSettings& settings);
// The settings of the file applied over start; throws EQuorvelError("不正なストリーム
// フォーマット") for anything that is not such a file, and then nothing is applied.
TCabSettings ReadCabStream(QByteArrayView bytes, const TCabSettings& start);

// Reads path into the dialog (its settings and its list); throws EQuorvelError.
void LoadCabDialog(TCabOpenDialog& dialog, const QString& path);
// Replaces path with the dialog's settings; throws EQuorvelError("ファイル %s を作成できません").
void SaveCabDialog(const TCabOpenDialog& dialog, const QString& path);

QString BadStreamMessage();
