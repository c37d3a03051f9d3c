#pragma once
#include <QByteArray>
#include <QString>

// The instrument writes its acquisition details into the ImageDescription tag as one
// line of "Key: value" items separated by ", "; the sheet shows one item a line, in the
// program's wording, without carriage returns.
QString attributeText(const QString &description);

// UTF-8 when the bytes are valid UTF-8, Latin-1 otherwise.
QString decodeDescription(const QByteArray &bytes);

// The ImageDescription tag of a TIFF file; empty when the file cannot be opened by
// libtiff or has no description.
QString readImageDescription(const QString &path);
