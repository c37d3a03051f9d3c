#pragma once
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// The local folder served as the instrument's tree "/TARVELO". Every remote path is
// resolved here, and nothing outside the folder is ever listed or opened: names "." and
// "..", empty names, paths not under "/TARVELO" and links whose target lies outside are
// refused (the check is made on the canonical, link-free path).
class InstrumentTree
{
public:
    static const QString kRemoteRoot; // "/TARVELO"

    struct Entry {
        QString name;
        bool folder = false;
    };

    explicit InstrumentTree(const QString &localRoot);

    // Files that exist only as a size; their bytes come from generatedBytes().
    void setGenerated(const QMap<QString, qint64> &files) { m_generated = files; }
    // The size of a made-up file, or -1 when `remote` is none.
    qint64 generatedSize(const QString &remote) const { return m_generated.value(normalised(remote), -1); }
    // The bytes of every made-up file from `offset`: the same pattern for all of them.
    static QByteArray generatedBytes(qint64 offset, qint64 size);

    bool isValid() const { return !m_root.isEmpty(); }
    QString canonicalRoot() const { return m_root; }

    // Canonical local path of an existing file or folder at or below the root; empty when
    // the remote path is refused or names nothing. A trailing "/" is accepted.
    QString localPath(const QString &remote) const;
    QString localFolder(const QString &remote) const;
    // The remote path in its normal form (no trailing "/"), or empty when refused.
    static QString normalised(const QString &remote);

    // Folders and regular files of a folder, sorted by name (case-insensitively, ties by
    // exact order). Entries the wire cannot carry (a ">" or a line break in the name),
    // links leading out of the root, broken links and special files are left out.
    QVector<Entry> list(const QString &remoteFolder) const;

    // The remote paths a download of this path sends: the file itself, or every file below
    // a folder, depth first in listing order. Empty when refused.
    QStringList expand(const QString &remote) const;

    static bool isSendableName(const QString &name);

private:
    void expandInto(const QString &remoteFolder, QStringList *ancestors, QStringList *out) const;
    bool isInside(const QString &canonical) const;

    QString m_root; // canonical
    QMap<QString, qint64> m_generated;
};
