#pragma once
// Where the help viewer looks for Qt Assistant. A help collection made by one Qt major's
// qhelpgenerator is meant for that major's Assistant, so the Assistant of the Qt the viewer
// was built with comes first, then where Debian keeps that major's tools (/usr/lib/qt6/bin
// for Qt 6), and only then whatever the program search finds.
#include <QLibraryInfo>
#include <QStringList>

namespace AssistantPlaces {

inline QString toolsFolder()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::BinariesPath);
#else
    return QLibraryInfo::location(QLibraryInfo::BinariesPath);
#endif
}

// Paths (with a '/') are started as they are; bare names through the program search.
inline QStringList candidates()
{
    QStringList places{toolsFolder() + QStringLiteral("/assistant")};
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    places << QStringLiteral("/usr/lib/qt6/bin/assistant") << QStringLiteral("assistant6");
#else
    places << QStringLiteral("/usr/lib/qt5/bin/assistant");
#endif
    places << QStringLiteral("assistant");
    places.removeDuplicates();
    return places;
}

} // namespace AssistantPlaces
