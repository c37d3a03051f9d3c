#pragma once
#include <QElapsedTimer>
#include <QString>

class QJsonObject;

// Where a run's words go: data (paths, JSON Lines) on standard output, errors and -v notes
// on standard error one line each, and a progress line that rewrites itself on standard
// error when that is a terminal. Quiet otherwise, as the transfer tools scripts know.
class FetchOutput
{
public:
    FetchOutput(bool json, bool verbose);

    bool json() const { return m_json; }
    bool verbose() const { return m_verbose; }
    void data(const QString &line);
    void data(const QJsonObject &object);
    void error(const QString &line);
    void note(const QString &line);

    // Files done of total, bytes so far, the current file's share, the rate; drawn at most
    // a few times a second.
    void progress(int done, int total, double currentShare, qint64 bytes, qint64 bytesPerSecond);
    void endProgress();

    static QString bytesText(qint64 bytes);

private:
    void eraseProgress();

    bool m_json;
    bool m_verbose;
    bool m_terminal;
    bool m_progressShown = false;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceDrawn;
};
