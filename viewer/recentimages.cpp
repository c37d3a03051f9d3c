#include "viewer/recentimages.h"

#include "common/settings.h"

#include <QFileInfo>

namespace RecentImages {

namespace {
const std::string kGroup = "Recent Images";
const std::string kKey = "Files";
// One value, a path a line: a file name may hold the commas that separate INI list items.
const QChar kSeparator = QLatin1Char('\n');
} // namespace

QStringList list()
{
    std::string text;
    Settings::readSetting(kGroup, kKey, std::string(), text, Settings::settingsFilePath());
    QStringList paths = QString::fromStdString(text).split(kSeparator, Qt::SkipEmptyParts);
    while (paths.size() > kMaximum)
        paths.removeLast();
    return paths;
}

void add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = list();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    while (paths.size() > kMaximum)
        paths.removeLast();
    Settings::writeSetting(kGroup, kKey, paths.join(kSeparator).toStdString(), Settings::settingsFilePath());
}

void clear()
{
    Settings::writeSetting(kGroup, kKey, std::string(), Settings::settingsFilePath());
}

} // namespace RecentImages
