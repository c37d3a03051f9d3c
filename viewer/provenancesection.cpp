#include "viewer/provenancesection.h"

#include <QPointer>
#include <QScrollBar>
#include <QThreadPool>

#include <atomic>

ProvenanceSection::ProvenanceSection(ProvenanceSource source, QWidget *parent)
    : QPlainTextEdit(parent), m_source(std::move(source)), m_generation(std::make_shared<std::atomic<quint64>>(0))
{
    setObjectName(QStringLiteral("provenance"));
    setAccessibleName(tr("Where the file came from"));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A hash has no place to break; it may break anywhere, and copies whole.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setFont(QFont(QStringLiteral("Arial"), 9));
    setStyleSheet(QStringLiteral("QPlainTextEdit { color: rgb(225, 225, 225); background-color: rgb(93, 102, 117);"
                                 " border: none; border-top: 1px solid rgb(178, 191, 210); }"));
    setFixedHeight(fontMetrics().lineSpacing() * 9 + 12);
    hide();
}

ProvenanceSection::~ProvenanceSection()
{
    ++*m_generation; // answers still on their way find nobody
}

void ProvenanceSection::showFile(const QString &path)
{
    const quint64 generation = ++*m_generation;
    hide();
    clear();
    if (!m_source)
        return;
    QPointer<ProvenanceSection> self(this);
    const ProvenanceSource source = m_source;
    const auto current = m_generation;
    QThreadPool::globalInstance()->start([self, source, current, generation, path] {
        if (*current != generation)
            return;
        const Provenance p = source.lookUp(path);
        QMetaObject::invokeMethod(self, [self, generation, p] {
            if (self)
                self->showFound(generation, p);
        }, Qt::QueuedConnection);
        if (!p.found || *current != generation)
            return;
        const QString hash = source.hash(path);
        QMetaObject::invokeMethod(self, [self, generation, hash] {
            if (self)
                self->showHash(generation, hash);
        }, Qt::QueuedConnection);
    });
}

void ProvenanceSection::showFound(quint64 generation, const Provenance &p)
{
    if (generation != *m_generation)
        return;
    m_shown = p;
    if (!p.found) {
        setText(tr("Not in the transfer record of a download folder."));
        show();
        emit filled();
        return;
    }
    setText(tr("Downloaded %1 from %2 as %3\nInstrument path: %4\nSHA-256: %5\nChecking whether the file still matches…")
                .arg(p.downloaded, p.instrument, p.account, p.remote, p.sha256));
    show();
}

void ProvenanceSection::showHash(quint64 generation, const QString &hash)
{
    if (generation != *m_generation)
        return;
    const Provenance &p = m_shown;
    const QString state = hash.isEmpty() ? tr("The file cannot be read to check it.")
        : hash == p.sha256 ? tr("The file still matches its record.")
                           : tr("The file has CHANGED since it was downloaded (SHA-256 now %1).").arg(hash);
    setText(tr("Downloaded %1 from %2 as %3\nInstrument path: %4\nSHA-256: %5\n%6")
                .arg(p.downloaded, p.instrument, p.account, p.remote, p.sha256, state));
    emit filled();
}

void ProvenanceSection::setText(const QString &text)
{
    setPlainText(text);
}
