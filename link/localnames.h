#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

// The names in one local folder, read once and looked up exactly (no wildcard patterns).
// Kept flat and reused from one read to the next: names in plain ASCII stay the bytes the
// system gave, only the others are decoded, and one open-addressing table holds every
// name's hash, so a folder of tens of thousands of images is read and matched in little
// more than the time the system takes to list it.
class LocalNames
{
public:
    // Replaces what was read before. An empty path stands for no folder: nothing is present.
    // `downloadRoot`: the folder is the download folder itself, whose record folder is the
    // program's own and no copy of anything on the instrument.
    void read(const QString &folder, bool downloadRoot = false);
    bool hasFile(QStringView name) const { return find(name, hashOf(name)) == 'f'; }
    bool hasFolder(QStringView name) const { return find(name, hashOf(name)) == 'd'; }
    // The same, with the name's hashOf worked out beforehand (on any thread).
    bool hasFile(QStringView name, uint hash) const { return find(name, hash) == 'f'; }
    bool hasFolder(QStringView name, uint hash) const { return find(name, hash) == 'd'; }
    static uint hashOf(QStringView name) { return qHash(name, uint(qGlobalQHashSeed())); }
    int count() const { return m_names.size(); }

private:
    struct Name
    {
        uint hash;
        int offset; // into m_ascii, or into m_decoded where `decoded`
        int size;
        char kind; // 'f' or 'd'
        bool decoded;
    };
    struct Slot
    {
        uint hash;
        int name; // index into m_names; -1 where free
    };
    void add(const char *name, bool isDir);
    void addDecoded(const QString &name, bool isDir);
    void buildTable();
    char find(QStringView name, uint hash) const;

    QByteArray m_ascii;
    QString m_decoded;
    QVector<Name> m_names;
    QVector<Slot> m_table; // a power of two, at most half full
};
