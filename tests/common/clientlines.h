#pragma once
// Writes every line a client sends to the stand-in instrument to the file named by
// TARVELO_CLIENT_LINES, each under the test and row it belongs to, so the conversations of
// two builds can be compared byte for byte (scripts/clientlines.sh). With
// TARVELO_CLIENT_LINES_LANGUAGE=de the program speaks German meanwhile: what it sends must
// not depend on the language.
#include "common/translations.h"
#include "tools/instrument/instrumentserver.h"

#include <QFile>
#include <QtTest>

namespace ClientLines {

inline void record(InstrumentServer *server)
{
    const QString path = qEnvironmentVariable("TARVELO_CLIENT_LINES");
    if (path.isEmpty())
        return;
    const QString language = qEnvironmentVariable("TARVELO_CLIENT_LINES_LANGUAGE");
    if (!language.isEmpty())
        Translations::install(QCoreApplication::instance(), language);
    QObject::connect(server, &InstrumentServer::lineReceived, server,
                     [path](int session, const QByteArray &line) {
                         QFile file(path);
                         if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
                             return;
                         file.write(QByteArray(QTest::currentTestFunction()) + " / "
                                    + QTest::currentDataTag() + " #" + QByteArray::number(session)
                                    + ": " + line + '\n');
                     });
}

// The tests' checks of what the program says hold in English only; in another language what
// is compared is what goes on the wire.
inline bool english()
{
    return qEnvironmentVariable("TARVELO_CLIENT_LINES_LANGUAGE").isEmpty();
}

} // namespace ClientLines
