#include "fetch/fetchoutput.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <unistd.h>

FetchOutput::FetchOutput(bool json, bool verbose)
    : m_json(json), m_verbose(verbose), m_terminal(isatty(STDERR_FILENO) == 1)
{
    m_sinceStart.start();
}

void FetchOutput::data(const QString &line)
{
    eraseProgress();
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void FetchOutput::data(const QJsonObject &object)
{
    data(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

void FetchOutput::error(const QString &line)
{
    eraseProgress();
    // A name from the instrument may hold a line break; one error stays one line.
    QString text = line;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray bytes = "tarvelo-fetch: " + text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void FetchOutput::note(const QString &line)
{
    if (!m_verbose)
        return;
    eraseProgress();
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

QString FetchOutput::bytesText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    const char *units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = bytes / 1024.0;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', value < 10 ? 1 : 0).arg(QLatin1String(units[unit]));
}

void FetchOutput::progress(int done, int total, double currentShare, qint64 bytes, qint64 bytesPerSecond)
{
    if (!m_terminal || (m_sinceDrawn.isValid() && m_sinceDrawn.elapsed() < 200))
        return;
    m_sinceDrawn.start();
    QString left = QStringLiteral("--:--");
    const double filesDone = done + qBound(0.0, currentShare, 1.0);
    const qint64 elapsedMs = m_sinceStart.elapsed();
    if (filesDone > 0 && total > 0 && elapsedMs > 500) {
        // By files: a byte total is not known before every header has come.
        const qint64 s = qint64(elapsedMs / 1000.0 * (total - filesDone) / filesDone);
        left = s >= 3600 ? QStringLiteral("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                                .arg(s % 60, 2, 10, QLatin1Char('0'))
                         : QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    }
    const QString line = QStringLiteral("\r%1/%2 files  %3  %4/s  %5 left\x1b[K")
                             .arg(done).arg(total).arg(bytesText(bytes), bytesText(bytesPerSecond), left);
    const QByteArray bytesOut = line.toUtf8();
    std::fwrite(bytesOut.constData(), 1, size_t(bytesOut.size()), stderr);
    std::fflush(stderr);
    m_progressShown = true;
}

void FetchOutput::endProgress()
{
    eraseProgress();
}

void FetchOutput::eraseProgress()
{
    if (!m_progressShown)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    m_progressShown = false;
}
