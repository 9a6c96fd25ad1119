#include "platform/EncodingChoice.h"

QString EncodingCaption(TTextEncoding encoding) {
    switch (encoding) {
    case teUtf8:
        return QStringLiteral("UTF-8");
    case teUtf8Bom:
        return QStringLiteral("UTF-8 (BOM付き)");
    case teCp932:
        return QStringLiteral("Shift_JIS (CP932)");
    case teEucJp:
        return QStringLiteral("EUC-JP");
    case teIso2022Jp:
        return QStringLiteral("ISO-2022-JP");
    case teUtf16LE:
        return QStringLiteral("UTF-16LE (BOM付き)");
    case teUtf16BE:
        return QStringLiteral("UTF-16BE (BOM付き)");
    }
    return {};
}

QString LineEndCaption(TLineEnd lineEnd) {
    switch (lineEnd) {
    case leCrLf:
        return QStringLiteral("CR LF");
    case leLf:
        return QStringLiteral("LF");
    case leCr:
        return QStringLiteral("CR");
    }
    return {};
}
