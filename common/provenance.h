#pragma once
#include <QString>

#include <functional>

// Where a local file came from, as the download folder's transfer record tells it. The
// viewer shows it without knowing the record: the window hands it these functions.
struct Provenance
{
    bool found = false;
    QString downloaded;     // UTC, as the record gives it
    QString instrument;
    QString account;
    QString remote;         // the instrument's path
    QString sha256;         // what the record says the file held when it arrived
};

struct ProvenanceSource
{
    // Both may take a while (a long record, a large file): they are called on a worker
    // thread, and must be safe to call from several at once.
    std::function<Provenance(const QString &file)> lookUp;
    // The SHA-256 of the file as it is now; empty when it cannot be read.
    std::function<QString(const QString &file)> hash;
    explicit operator bool() const { return lookUp && hash; }
};
