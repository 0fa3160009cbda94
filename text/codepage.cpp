#include "codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace text {

namespace {
constexpr const char *kCodePage = "windows-1252";
}

QString toUnicode(const QByteArray &bytes)
{
    QStringDecoder decoder(kCodePage);
    return decoder.decode(bytes);
}

QByteArray fromUnicode(const QString &unicode)
{
    QStringEncoder encoder(kCodePage);
    QByteArray whole = encoder.encode(unicode);
    if (!encoder.hasError())
        return whole;

    // Encode one code point at a time so that only the ones outside the code page turn into "?".
    QByteArray out;
    out.reserve(unicode.size());
    for (qsizetype i = 0; i < unicode.size(); ++i) {
        const qsizetype len = (unicode.at(i).isHighSurrogate() && i + 1 < unicode.size()
                               && unicode.at(i + 1).isLowSurrogate()) ? 2 : 1;
        QStringEncoder one(kCodePage);
        const QByteArray part = one.encode(QStringView(unicode).mid(i, len));
        out += one.hasError() || part.isEmpty() ? QByteArray("?") : part;
        i += len - 1;
    }
    return out;
}

} // namespace text
