#include "fetch/pathfilter.h"

PathFilter::PathFilter(const QStringList &includes, const QStringList &excludes)
{
    for (const QString &g : includes)
        m_includes << compile(g);
    for (const QString &g : excludes)
        m_excludes << compile(g);
}

QRegularExpression PathFilter::compile(const QString &glob)
{
    QString rx;
    for (int i = 0; i < glob.size(); ++i) {
        const QChar c = glob.at(i);
        if (c == QLatin1Char('*') && glob.mid(i, 2) == QLatin1String("**")) {
            const bool slashFollows = glob.mid(i + 2, 1) == QLatin1String("/");
            rx += slashFollows ? QStringLiteral("(?:.*/)?") : QStringLiteral(".*");
            i += slashFollows ? 2 : 1;
        } else if (c == QLatin1Char('*')) {
            rx += QStringLiteral("[^/]*");
        } else if (c == QLatin1Char('?')) {
            rx += QStringLiteral("[^/]");
        } else {
            rx += QRegularExpression::escape(QString(c));
        }
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(rx));
}

bool PathFilter::accepts(const QString &relativePath) const
{
    for (const QRegularExpression &rx : m_excludes)
        if (rx.match(relativePath).hasMatch())
            return false;
    if (m_includes.isEmpty())
        return true;
    for (const QRegularExpression &rx : m_includes)
        if (rx.match(relativePath).hasMatch())
            return true;
    return false;
}
