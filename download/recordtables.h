#pragma once
#include "record/recordindex.h"
#include "record/verifier.h"

#include <QStringList>
#include <QVector>

// The rows the result window shows for each kind of answer.
namespace RecordTables {

QStringList verifyHeaders();
// Problems first, so that what needs a look is on top; verified copies after.
QVector<QStringList> verifyRows(const VerifyResult &result);
// Instrument files without a verified copy, in the verify table's columns.
QVector<QStringList> instrumentRows(const InstrumentCheck &check);

QStringList downloadHeaders();
QVector<QStringList> downloadRows(const QVector<Record::File> &entries);
// "Download of 2024-03-11 09:15:02 UTC from 192.168.1.20 as anonymous: 12 stored, 1 failed."
QString downloadAnswer(const RecordIndex &index, const QString &downloadId);

} // namespace RecordTables
