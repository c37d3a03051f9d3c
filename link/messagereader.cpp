#include "link/messagereader.h"

// Stub: filled in by the browse work.
MessageReader::MessageReader(QObject *parent) : QObject(parent) {}
void MessageReader::feed(const QByteArray &bytes) { m_pending += bytes; }
void MessageReader::flushUnterminated() {}
void MessageReader::reset() { m_pending.clear(); }
