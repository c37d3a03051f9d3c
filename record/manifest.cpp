#include "record/manifest.h"

#include "record/recordindex.h"
#include "record/recordpaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Manifest {

void appendLine(QByteArray &out, const QString &path, const QString &sha256)
{
    const QByteArray name = path.toUtf8();
    const bool escape = name.contains('\\') || name.contains('\n') || name.contains('\r');
    if (escape)
        out += '\\';
    out += sha256.toLatin1();
    out += "  ";
    if (escape) {
        for (const char c : name) {
            if (c == '\\')
                out += "\\\\";
            else if (c == '\n')
                out += "\\n";
            else if (c == '\r')
                out += "\\r";
            else
                out += c;
        }
    } else {
        out += name;
    }
    out += '\n';
}

QString pathOf(const char *text, int size)
{
    const bool escaped = size > 0 && text[0] == '\\';
    const char *sep = static_cast<const char *>(memchr(text, ' ', size_t(size)));
    if (!sep || sep + 2 > text + size)
        return QString();
    const char *from = sep + 2;
    int length = int(text + size - from);
    if (length > 0 && from[length - 1] == '\n')
        --length;
    if (!escaped)
        return QString::fromUtf8(from, length);
    QByteArray name;
    name.reserve(length);
    for (int i = 0; i < length; ++i) {
        if (from[i] == '\\' && i + 1 < length) {
            const char next = from[++i];
            name += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            name += from[i];
        }
    }
    return QString::fromUtf8(name);
}

QByteArray text(const RecordIndex &index)
{
    const auto &copies = index.copies();
    std::vector<QString> paths;
    paths.reserve(size_t(copies.size()));
    for (auto it = copies.constBegin(); it != copies.constEnd(); ++it)
        paths.push_back(it.key());
    std::sort(paths.begin(), paths.end());
    QByteArray out;
    out.reserve(int(paths.size()) * 100);
    for (const QString &path : paths)
        appendLine(out, path, copies.constFind(path)->sha256());
    return out;
}

QByteArray merged(const QByteArray &manifest, const RecordIndex &changes)
{
    std::vector<int> starts;
    starts.reserve(size_t(manifest.size() / 90 + 1));
    for (int at = 0; at < manifest.size();) {
        starts.push_back(at);
        const int nl = manifest.indexOf('\n', at);
        at = nl < 0 ? manifest.size() : nl + 1;
    }
    const int lines = int(starts.size());
    const auto lineAt = [&](int i) {
        const int end = i + 1 < lines ? starts[size_t(i) + 1] : manifest.size();
        return pathOf(manifest.constData() + starts[size_t(i)], end - starts[size_t(i)]);
    };
    QStringList paths = changes.copies().keys();
    std::sort(paths.begin(), paths.end());
    QByteArray out;
    out.reserve(manifest.size() + paths.size() * 100);
    int next = 0; // the first line not yet copied
    for (const QString &path : qAsConst(paths)) {
        int low = next, high = lines;
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (lineAt(mid) < path)
                low = mid + 1;
            else
                high = mid;
        }
        const int copyEnd = low < lines ? starts[size_t(low)] : manifest.size();
        const int copyFrom = next < lines ? starts[size_t(next)] : manifest.size();
        out.append(manifest.constData() + copyFrom, copyEnd - copyFrom);
        if (low < lines && lineAt(low) == path)
            ++low; // the copy before this one
        appendLine(out, path, changes.copies().constFind(path)->sha256());
        next = low;
    }
    if (next < lines)
        out.append(manifest.constData() + starts[size_t(next)], manifest.size() - starts[size_t(next)]);
    return out;
}

bool write(const QString &downloadFolder, const QByteArray &text, QString *error)
{
    const QString path = RecordPaths::manifest(downloadFolder);
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.size() == text.size() && current.readAll() == text)
        return true;
    current.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = QCoreApplication::translate("Manifest", "The checksum list %1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace Manifest
