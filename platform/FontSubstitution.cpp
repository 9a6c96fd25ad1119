#include "platform/FontSubstitution.h"

#include <QFont>
#include <QString>

void RegisterFontSubstitutions() {
    const QString gothic = QStringLiteral("IPAGothic");
    const QString pgothic = QStringLiteral("IPAPGothic");
    for (const QString& name : {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MSゴシック"),
                                QStringLiteral("MS Gothic")})
        QFont::insertSubstitution(name, gothic);
    for (const QString& name : {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic")})
        QFont::insertSubstitution(name, pgothic);
}
