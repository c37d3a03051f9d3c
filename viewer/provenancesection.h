#pragma once
#include "common/provenance.h"

#include <QPlainTextEdit>

#include <memory>

// The attribute sheet's lines on where a file came from: when it was downloaded, from
// which instrument, by which account, its SHA-256 and whether the file still holds it.
// The record is read and the file hashed on a worker; the lines fill in when ready, and an
// answer for a file the browser has moved on from is dropped.
class ProvenanceSection : public QPlainTextEdit
{
    Q_OBJECT
public:
    ProvenanceSection(ProvenanceSource source, QWidget *parent = nullptr);
    ~ProvenanceSection() override;

    void showFile(const QString &path);
    QString text() const { return toPlainText(); }

signals:
    // The lines are complete for the file last shown (for tests and tools).
    void filled();

private:
    void setText(const QString &text);
    void showFound(quint64 generation, const Provenance &p);
    void showHash(quint64 generation, const QString &hash);

    ProvenanceSource m_source;
    std::shared_ptr<std::atomic<quint64>> m_generation;
    Provenance m_shown;
};
