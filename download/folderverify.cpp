#include "download/folderverify.h"

#include "common/noticelook.h"
#include "common/style.h"
#include "download/recordresultwindow.h"
#include "download/recordtables.h"
#include "record/instrumentwalk.h"
#include "record/recordpaths.h"
#include "transfer/clientsession.h"

#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QPointer>
#include <QProgressDialog>
#include <QThreadPool>

namespace {

QStringList askFolders(QWidget *parent, const QString &shown)
{
    bool ok = false;
    const QString text = QInputDialog::getMultiLineText(
        parent, FolderVerify::tr("Compare with the instrument"),
        FolderVerify::tr("Instrument folders whose files should have verified copies, one a line\n"
                         "(Cancel checks the download folder only):"),
        shown, &ok);
    if (!ok)
        return {};
    QStringList folders;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        while (line.size() > 1 && line.endsWith(QLatin1Char('/')))
            line.chop(1);
        if (!line.isEmpty() && !folders.contains(line))
            folders << line;
    }
    return folders;
}

} // namespace

FolderVerify::FolderVerify(ClientSession *session, QWidget *window)
    : QObject(window), m_session(session), m_window(window), m_verifier(new Verifier(this)),
      m_walk(new InstrumentWalk(session, this)), m_progress(new QProgressDialog(window)),
      m_result(new RecordResultWindow(window)), m_asker(askFolders)
{
    m_progress->setObjectName(QStringLiteral("verifyProgress"));
    m_progress->setWindowTitle(tr("Verify Download Folder"));
    m_progress->setStyleSheet(QLatin1String(Style::kLabelDialogStyle));
    m_progress->setFont(NoticeLook::boldFont());
    m_progress->setCancelButtonText(tr("Stop"));
    m_progress->setMinimumWidth(480);
    m_progress->setMinimumDuration(0);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->reset();
    m_progress->hide();
    connect(m_progress, &QProgressDialog::canceled, this, &FolderVerify::stop);
    connect(m_verifier, &Verifier::progress, this, [this](qint64 done, qint64 total, const QString &current) {
        // Bytes can pass what an int holds: the bar counts thousandths.
        m_progress->setValue(total > 0 ? int(done * 1000 / total) : 0);
        m_progress->setLabelText(tr("Checking %1").arg(current));
    });
    connect(m_verifier, &Verifier::finished, this, &FolderVerify::onVerified);
    connect(m_walk, &InstrumentWalk::progress, this, [this](int folders, int files, const QString &current) {
        m_progress->setLabelText(tr("Listing %1 on the instrument\n%2 folders, %3 files so far")
                                     .arg(current).arg(folders).arg(files));
    });
    connect(m_walk, &InstrumentWalk::finished, this, &FolderVerify::onWalked);
}

FolderVerify::~FolderVerify() = default;

bool FolderVerify::isRunning() const
{
    return m_verifier->isRunning() || m_walk->isRunning();
}

void FolderVerify::start(const QString &downloadFolder)
{
    if (isRunning()) {
        m_progress->raise();
        return;
    }
    m_folder = downloadFolder;
    m_verified = VerifyResult();
    m_answers.clear();
    m_problems.clear();
    m_instrumentRows.clear();
    m_instrumentFolders.clear();
    m_stopped = false;
    m_progress->setRange(0, 1000);
    m_progress->setValue(0);
    m_progress->setLabelText(tr("Reading the record of %1").arg(QDir::toNativeSeparators(downloadFolder)));
    m_progress->show();
    m_verifier->start(downloadFolder);
}

void FolderVerify::stop()
{
    m_stopped = true;
    m_verifier->stop();
    m_walk->stop();
}

void FolderVerify::onVerified(const VerifyResult &result)
{
    m_verified = result;
    if (!result.recordMessage.isEmpty())
        m_problems << result.recordMessage;
    if (!result.manifestError.isEmpty())
        m_problems << tr("The checksum list could not be brought up to date: %1").arg(result.manifestError);
    if (!m_session->isConnected() && !m_stopped && !result.stopped)
        m_problems << tr("Not connected: the copies were not compared with the instrument. Connect and verify again "
                        "to learn whether every file of a folder on the instrument has a verified copy.");
    if (m_stopped || result.stopped || !m_session->isConnected())
        return showResult();
    m_progress->hide();
    m_instrumentFolders = m_asker(m_window, m_session->currentFolder());
    if (m_instrumentFolders.isEmpty())
        return showResult();
    m_progress->setRange(0, 0);
    m_progress->show();
    walkNext();
}

void FolderVerify::walkNext()
{
    if (m_instrumentFolders.isEmpty() || m_stopped || !m_session->isConnected())
        return showResult();
    m_progress->setLabelText(tr("Listing %1 on the instrument").arg(m_instrumentFolders.first()));
    m_walk->start({m_instrumentFolders.first()});
}

void FolderVerify::onWalked(const QStringList &files, const QString &error)
{
    const QString folder = m_instrumentFolders.takeFirst();
    if (!error.isEmpty()) {
        // A partial listing would make a wrong answer; say what went wrong instead.
        m_answers << tr("%1 could not be compared with the download folder: %2").arg(folder, error);
        return showResult();
    }
    const InstrumentCheck check = compareWithInstrument(folder, files, m_verified);
    m_answers << check.answer;
    if (!m_walk->linksBackUp().isEmpty())
        m_answers << tr("Not walked, as they show a folder above them again: %1")
                         .arg(m_walk->linksBackUp().join(QStringLiteral(", ")));
    m_instrumentRows += RecordTables::instrumentRows(check);
    walkNext();
}

void FolderVerify::showResult()
{
    m_progress->hide();
    m_progress->reset();
    QStringList lines = m_answers;
    if (!QFileInfo::exists(RecordPaths::folder(m_folder)))
        lines << tr("%1 has no transfer record yet: nothing has been downloaded into it with this program.")
                     .arg(QDir::toNativeSeparators(m_folder));
    else
        lines << m_verified.summary();
    lines += m_problems;
    m_result->showTable(tr("Verify: %1").arg(QDir::toNativeSeparators(m_folder)), lines.join(QLatin1Char('\n')),
                        RecordTables::verifyHeaders(), m_instrumentRows + RecordTables::verifyRows(m_verified));
    emit done();
}

void FolderVerify::showDownload(const QString &folder, const QString &id)
{
    QPointer<FolderVerify> self(this);
    // A long record takes a moment to read: off the window's thread.
    QThreadPool::globalInstance()->start([self, folder, id] {
        const RecordIndex index = RecordIndex::read(folder, id);
        QString answer = RecordTables::downloadAnswer(index, id);
        if (!index.report().message().isEmpty())
            answer += QLatin1Char('\n') + index.report().message();
        const QVector<QStringList> rows = RecordTables::downloadRows(index.entries());
        QMetaObject::invokeMethod(self, [self, folder, answer, rows] {
            if (!self)
                return;
            self->m_result->showTable(tr("Record: %1").arg(QDir::toNativeSeparators(folder)), answer,
                                      RecordTables::downloadHeaders(), rows);
            emit self->done();
        }, Qt::QueuedConnection);
    });
}
