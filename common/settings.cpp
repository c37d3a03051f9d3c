#include "common/settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace {

QString fromNarrow(const std::string &text)
{
    return QString::fromUtf8(text.data(), int(text.size()));
}

std::string toNarrow(const QString &text)
{
    return text.toUtf8().toStdString();
}

// The INI writer escapes a blank in a group or key name as "%20". Blanks read better, and
// the reader accepts both forms. Values are left alone byte for byte: "%20" in a value is
// part of the value (a folder may be called "a%20b").
QByteArray unescapeBlanksInNames(const QByteArray &content)
{
    static const QByteArray escaped("%20");
    QByteArray out;
    out.reserve(content.size());
    int start = 0;
    while (start < content.size()) {
        int end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        QByteArray line = content.mid(start, end - start);
        start = end;

        int first = 0;
        while (first < line.size() && (line.at(first) == ' ' || line.at(first) == '\t'))
            ++first;
        if (first < line.size() && line.at(first) == '[') {
            line.replace(escaped, " ");
        } else if (first < line.size() && line.at(first) != ';' && line.at(first) != '#') {
            // The writer escapes '=' inside key names, so the first one ends the key.
            const int equals = line.indexOf('=');
            if (equals > 0)
                line = line.left(equals).replace(escaped, " ") + line.mid(equals);
        }
        out += line;
    }
    return out;
}

void postProcess(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return;
    const QByteArray content = in.readAll();
    in.close();
    const QByteArray processed = unescapeBlanksInNames(content);
    if (processed == content)
        return;
    // Written aside and renamed, so a failure half-way never leaves a truncated file.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return;
    out.write(processed);
    out.commit();
}

} // namespace

namespace Settings {

std::string settingsFilePath()
{
    return toNarrow(QDir::home().path()
                    + QStringLiteral("/AppData/Local/Halvorine/TARVELO/settings.ini"));
}

bool readSetting(const std::string &group, const std::string &key, const std::string &defaultValue,
                 std::string &value, const std::string &filePath)
{
    QSettings settings(fromNarrow(filePath), QSettings::IniFormat);
    settings.beginGroup(fromNarrow(group));
    const QString text = settings.value(fromNarrow(key)).toStringList().join(QStringLiteral(", "));
    settings.endGroup();
    if (text.isEmpty()) {
        value = defaultValue;
        return false;
    }
    value = toNarrow(text);
    return true;
}

void writeSetting(const std::string &group, const std::string &key, const std::string &value,
                  const std::string &filePath)
{
    const QString path = fromNarrow(filePath);
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.beginGroup(fromNarrow(group));
        settings.setValue(fromNarrow(key), fromNarrow(value));
        settings.endGroup();
        settings.sync();
    }
    postProcess(path);
}

} // namespace Settings
