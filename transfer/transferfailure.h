#pragma once
#include <QList>
#include <QString>

// Why a file of a download was not stored, in a form a program can act on: the window shows
// `detail`, a script maps `kind` to its exit code, the transfer record keeps both.
struct TransferFailure
{
    enum class Kind {
        OutsideRoot,      // the path leads outside the instrument's folder
        NoPath,           // the instrument named no path
        Unnameable,       // the name cannot be written on the link
        ProgramFolder,    // the path falls inside the download folder's own record
        FolderNotCreated, // a folder on the way could not be made
        FolderInWay,      // a folder stands where the file would go
        CannotOpen,       // the local file could not be opened for writing
        SizeMismatch,     // fewer or more bytes than the header announced
        DiskFull,
        WriteFailed,      // the disk refused the bytes for another reason
        Interrupted,      // the link went away while the file arrived
        RecordNotWritten, // the transfer record would not take the file's line
    };

    Kind kind = Kind::WriteFailed;
    QString remotePath;
    QString detail; // for people, in their language

    // Failures of the local disk rather than of the request or the instrument.
    bool isDiskFailure() const
    {
        return kind == Kind::DiskFull || kind == Kind::WriteFailed || kind == Kind::CannotOpen
            || kind == Kind::FolderNotCreated;
    }
};

// The result of writing one file, as the writer hands it back.
struct WriteResult
{
    quint64 serial = 0;         // which file: see FileWriter::start()
    bool stored = false;
    TransferFailure::Kind kind = TransferFailure::Kind::WriteFailed;
    QString reason;             // empty when stored
    QByteArray sha256;          // hex, of the bytes stored; empty when not stored
    qint64 written = 0;
};
