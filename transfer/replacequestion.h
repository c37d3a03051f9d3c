#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// The question asked before a download would replace local entries: which entries are in
// the way, and how to say so.
namespace ReplaceQuestion {

struct Entry
{
    QString name;
    bool folder = false; // what is there locally: a folder, or a file (or anything else)
};

// The names (of one remote folder) that are already in localFolder, in the given order.
// Compared exactly: "*", "?" or "[" in a name match nothing else. ".." is never one.
QList<Entry> existing(const QString &localFolder, const QStringList &names);

struct Text
{
    QString lead;     // "There is already a folder with the same name in this location."
    QString names;    // the entries, quoted, for the caller to shorten to its width
    QString question; // "Do you want to replace the existing folder?"
};

// For `existing` entries out of `selected` entries asked for; `existing` not empty.
Text text(const QList<Entry> &existing, int selected);

} // namespace ReplaceQuestion
