#pragma once
#include "transfer/transferfailure.h"

#include <QDateTime>
#include <QMetaType>

// How one file of a download ended, as the receiver reports it once the file is settled and
// before it is acknowledged, so that whoever keeps a record has it before the instrument
// moves on.
struct FileOutcome
{
    enum class Kind {
        Stored,    // there was no local copy
        Replaced,  // an older local copy was replaced
        Failed,    // not stored; an older copy, if any, is kept
        Refused,   // not stored because of where it would go
        NeverSent, // announced, and the download ended without it
        Discarded  // sent without being announced for this download
    };

    Kind kind = Kind::Stored;
    QString remotePath;
    QString localPath;      // absolute; empty when there is none
    qint64 announced = -1;  // bytes the header gave, -1 when it gave none
    qint64 stored = -1;     // bytes stored, -1 when not stored
    QByteArray sha256;      // hex, when stored
    QDateTime time;         // UTC
    TransferFailure failure; // when Failed or Refused
    // Its line went to the transfer record before the file replaced its old copy, so
    // whoever keeps the record need not add it again.
    bool recorded = false;

    static bool isRefusal(TransferFailure::Kind kind)
    {
        return kind == TransferFailure::Kind::OutsideRoot || kind == TransferFailure::Kind::NoPath
            || kind == TransferFailure::Kind::Unnameable || kind == TransferFailure::Kind::ProgramFolder
            || kind == TransferFailure::Kind::FolderInWay;
    }
};
Q_DECLARE_METATYPE(FileOutcome)
