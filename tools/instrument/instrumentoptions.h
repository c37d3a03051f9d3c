#pragma once
#include <QMap>
#include <QStringList>
#include <QString>

// How the stand-in instrument behaves, including the faults it can inject.
struct InstrumentOptions
{
    QString root;                       // local folder served as "/TARVELO"
    QMap<QString, QString> accounts;    // account name -> password
    bool anonymous = true;              // accept "anonymous" with an empty password
    bool trace = false;                 // print every line received and sent
    QMap<QString, qint64> generated;    // remote file path -> size: files made up as they are
                                        // sent (in an existing folder), never put on disk
    bool quiet = false;

    // Fault injection.
    int faultyConnections = 0;          // the faults below hit only this many first connections
                                        // (0: every one), so a client can log in again and go on
    int chunk = 0;                      // send in pieces of this many bytes, flushing each (0: whole writes)
    int chunkDelayMs = 0;               // delay between pieces
    qint64 closeAfterFileBytes = -1;    // close the connection after this many bytes of file data
    qint64 stallAfterFileBytes = -1;    // stop sending (connection stays open) after this many file bytes
    bool noSize = false;                // leave the size field out of file headers
    bool noFinalNewline = false;        // leave the final line feed out of browse answers
    bool completedWithLastFile = false; // send "$DOWNLOAD: COMPLETED" in the same write as the last file's end
    QStringList outsidePaths;           // announce and send these paths (outside the root) with each download
    qint64 sizeError = 0;               // add this to the size field of every file header (a bad size)
    QStringList leaveOut;               // announce these remote paths but never send them
    QString extraFile;                  // send this remote path too, unannounced, after the announced files
    bool extraAfterCompleted = false;   // send the extra file after "$DOWNLOAD: COMPLETED" instead
    QByteArray endlessLine;             // answer "$LIST" (or, for a "$DOWNLOAD" text, a download request)
                                        // with this text and filler that never ends with a line feed
    qint64 endlessBytes = qint64(1) << 30; // close after this much filler
};
