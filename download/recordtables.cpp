#include "download/recordtables.h"

#include <QCoreApplication>

namespace RecordTables {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("RecordTables", text);
}

QString bytes(const std::optional<qint64> &n)
{
    return n ? QString::number(*n) : QString();
}
} // namespace

QStringList verifyHeaders()
{
    return {tr("Status"), tr("Local file"), tr("Instrument path"), tr("SHA-256 in the record"),
            tr("SHA-256 now"), tr("Detail")};
}

QVector<QStringList> verifyRows(const VerifyResult &result)
{
    QVector<QStringList> problems, good;
    for (const VerifyResult::Item &i : result.items) {
        QStringList row{VerifyResult::statusText(i.status), i.local, i.remote, i.recorded, i.actual, i.detail};
        (i.status == VerifyResult::Verified ? good : problems).append(row);
    }
    return problems + good;
}

QVector<QStringList> instrumentRows(const InstrumentCheck &check)
{
    QVector<QStringList> rows;
    for (const QString &remote : check.withoutCopy)
        rows.append({tr("no verified copy"), QString(), remote, QString(), QString(),
                     tr("on the instrument")});
    return rows;
}

QStringList downloadHeaders()
{
    return {tr("Outcome"), tr("Local file"), tr("Instrument path"), tr("Announced bytes"),
            tr("Stored bytes"), tr("SHA-256"), tr("Time (UTC)"), tr("Reason")};
}

QVector<QStringList> downloadRows(const QVector<Record::File> &entries)
{
    QVector<QStringList> rows;
    rows.reserve(entries.size());
    for (const Record::File &f : entries)
        rows.append({Record::outcomeName(f.outcome), f.local, f.remote, bytes(f.announced),
                     bytes(f.stored), f.sha256, Record::timeText(f.time), f.reason});
    return rows;
}

QString downloadAnswer(const RecordIndex &index, const QString &id)
{
    for (const RecordIndex::Download &d : index.downloads()) {
        if (d.start.download != id)
            continue;
        QStringList counts;
        for (int k = 0; k < Record::kOutcomeCount; ++k)
            if (d.counts[k])
                counts << QStringLiteral("%1 %2").arg(d.counts[k]).arg(Record::outcomeName(Record::Outcome(k)));
        QString text = d.start.time.isValid()
            ? tr("Download of %1 from %2 as %3: %4.")
                  .arg(Record::timeText(d.start.time), d.start.instrument, d.start.account,
                       counts.isEmpty() ? tr("no files") : counts.join(QStringLiteral(", ")))
            : tr("Download %1: %2.").arg(id, counts.isEmpty() ? tr("no files") : counts.join(QStringLiteral(", ")));
        if (!d.end)
            text += QLatin1Char(' ') + tr("Its end was not recorded (the program ended during it).");
        else if (d.end->linkLost)
            text += QLatin1Char(' ') + tr("The connection ended before the download did.");
        else if (d.end->stopped)
            text += QLatin1Char(' ') + tr("Stopped by the user.");
        return text;
    }
    return tr("The record holds no download %1.").arg(id);
}

} // namespace RecordTables
