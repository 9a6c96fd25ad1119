#include "platform/Persistent.h"

#include "platform/Error.h"

void TPersistent::AssignTo(TPersistent& dest) const {
    throw EQuorvelError(
        QStringLiteral("%1 を %2 に代入できません").arg(ClassName(), dest.ClassName()));
}

void TPersistent::NoSuchProperty(QStringView name) const {
    throw EQuorvelError(
        QStringLiteral("%1 にプロパティ %2 はありません").arg(ClassName(), name.toString()));
}
