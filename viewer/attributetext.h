#pragma once
#include <QString>

// The instrument writes its acquisition details into the ImageDescription tag as one
// comma-separated line; the sheet shows one item a line, in the program's wording.
QString attributeText(const QString &description);

// The ImageDescription tag of a TIFF file, decoded as UTF-8; empty when the file cannot
// be opened by libtiff or has no description.
QString readImageDescription(const QString &path);
