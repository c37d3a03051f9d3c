#include "help/helplauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

namespace {
constexpr int kStartWaitMs = 30000;
constexpr int kStopWaitMs = 3000;
constexpr int kKillWaitMs = 1000;
} // namespace

HelpLauncher::HelpLauncher(const QString &programFolder) : m_programFolder(programFolder) {}

HelpLauncher::~HelpLauncher()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        // A viewer that ignores the close request must not outlive the program.
        if (!m_process->waitForFinished(kStopWaitMs)) {
            m_process->kill();
            m_process->waitForFinished(kKillWaitMs);
        }
    }
    delete m_process;
}

QString HelpLauncher::programFolder() const
{
    return m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
}

// The program's own folder first on every platform (elsewhere than on Windows the program
// search does not look there), then the platform's program search.
QString HelpLauncher::viewerProgram() const
{
    const QFileInfo own(QDir(programFolder()).filePath(QString::fromLatin1(kViewerName)));
    if (own.isFile() && own.isExecutable())
        return own.absoluteFilePath();
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(kViewerName));
    return found.isEmpty() ? QString::fromLatin1(kViewerName) : found;
}

bool HelpLauncher::isRunning() const
{
    return m_process && m_process->state() == QProcess::Running;
}

bool HelpLauncher::ensureRunning()
{
    if (!m_process) {
        m_process = new QProcess;
        // The viewer's output goes to ours rather than piling up unread in the pipes.
        m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    }
    // A viewer the user has just closed may not have been noticed yet: look before reusing.
    if (m_process->state() == QProcess::Running && !m_process->waitForFinished(0))
        return true;

    const QDir folder(programFolder());
    const QString expectedAt = folder.filePath(QString::fromLatin1(kViewerName));
    // Absolute, so help works whatever folder the program was started from.
    const QStringList arguments{QStringLiteral("-collectionFile"),
                                folder.absoluteFilePath(QString::fromLatin1(kCollection)),
                                QStringLiteral("-enableRemoteControl")};
    m_process->start(viewerProgram(), arguments, QIODevice::ReadWrite);
    if (m_process->waitForStarted(kStartWaitMs))
        return true;

    QMessageBox::critical(nullptr, tr("Simple Text Viewer"),
                          tr("Unable to launch Qt Assistant (%1)").arg(QDir::toNativeSeparators(expectedAt)));
    return false;
}

QByteArray HelpLauncher::sourceCommand(const QString &page)
{
    return QByteArray("setSource qthelp://") + kNamespace + "/doc/" + page.toLocal8Bit() + '\n';
}

void HelpLauncher::showHelpPage(const QString &page)
{
    // A line break would end the command early and the rest would be read as another one.
    if (page.contains(QLatin1Char('\n')) || page.contains(QLatin1Char('\r')))
        return;
    if (!ensureRunning())
        return;
    m_process->write(sourceCommand(page));
}
