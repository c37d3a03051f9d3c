#pragma once
#include <QStringList>

// The images opened last from the disk, newest first, kept in the settings file.
namespace RecentImages {

constexpr int kMaximum = 10;

QStringList list();
void add(const QString &path);
void clear();

} // namespace RecentImages
