#pragma once
// Text from the instrument or from files it wrote: UTF-8 when the bytes are valid UTF-8,
// Latin-1 otherwise (older instruments and tools write Latin-1). Qt 6 moved QTextCodec out
// of Qt Core, so each major uses its own decoder; both skip a leading byte-order mark.
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QStringDecoder>
#else
#include <QTextCodec>
#endif

namespace Utf8Text {

inline QString decodeOrLatin1(const QByteArray &bytes)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    return decoder.hasError() ? QString::fromLatin1(bytes) : text;
#else
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars > 0 ? QString::fromLatin1(bytes) : text;
#endif
}

} // namespace Utf8Text
