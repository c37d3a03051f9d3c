#pragma once
#include <QRegularExpression>
#include <QStringList>
#include <QVector>

// --include and --exclude: shell-like patterns matched against a path below the folder that
// was asked for ("run1/img_001.tif"). "*" and "?" stay within one folder name, "**" crosses
// folders, and "**/" also matches no folder at all, so "**/*.tif" takes top-level files too.
class PathFilter
{
public:
    PathFilter() = default;
    PathFilter(const QStringList &includes, const QStringList &excludes);

    // With no include pattern everything is included; an exclude wins over an include.
    bool accepts(const QString &relativePath) const;
    bool isEmpty() const { return m_includes.isEmpty() && m_excludes.isEmpty(); }

    static QRegularExpression compile(const QString &glob);

private:
    QVector<QRegularExpression> m_includes;
    QVector<QRegularExpression> m_excludes;
};
