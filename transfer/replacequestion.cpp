#include "transfer/replacequestion.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

namespace ReplaceQuestion {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("ReplaceQuestion", text);
}

QString quoted(const QString &name)
{
    return tr("\u201c%1\u201d").arg(name); // German quotes differ: „%1“
}
} // namespace

QList<Entry> existing(const QString &localFolder, const QStringList &names)
{
    QList<Entry> found;
    if (localFolder.isEmpty())
        return found;
    const QDir dir(localFolder);
    const QDir::Filters all = QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QStringList folderList = dir.entryList(QDir::Dirs | all, QDir::Unsorted);
    const QStringList otherList = dir.entryList(QDir::Files | all, QDir::Unsorted);
    const QSet<QString> folders(folderList.begin(), folderList.end());
    const QSet<QString> others(otherList.begin(), otherList.end());
    for (const QString &name : names) {
        if (name == QLatin1String(".."))
            continue;
        if (folders.contains(name))
            found.append({name, true});
        else if (others.contains(name))
            found.append({name, false});
    }
    return found;
}

Text text(const QList<Entry> &existing, int selected)
{
    Text t;
    QStringList names;
    int folders = 0;
    for (const Entry &entry : existing) {
        if (!entry.name.isEmpty())
            names.append(quoted(entry.name));
        folders += entry.folder ? 1 : 0;
    }
    t.names = names.join(QStringLiteral(", "));
    if (existing.size() == 1) {
        const bool folder = existing.first().folder;
        t.lead = folder ? tr("There is already a folder with the same name in this location.")
                        : tr("There is already a file with the same name in this location.");
        t.question = folder ? tr("Do you want to replace the existing folder?")
                            : tr("Do you want to replace the existing file?");
        return t;
    }
    // What was selected but is not here yet may be of either kind: "entries" for those.
    const int n = existing.size();
    const int m = qMax(selected, n);
    t.lead = n == m ? tr("All %1 selected entries are already in this location.").arg(n)
                    : tr("There are already %1 of the %2 selected entries in this location.").arg(n).arg(m);
    t.question = folders == n   ? tr("Do you want to replace the existing folders?")
                 : folders == 0 ? tr("Do you want to replace the existing files?")
                                : tr("Do you want to replace the existing entries?");
    return t;
}

} // namespace ReplaceQuestion
