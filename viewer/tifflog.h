#pragma once
#include <QLoggingCategory>

#include <tiffio.h>

// libtiff's own warnings and errors ("unknown field with tag ...") go to this category
// instead of the terminal. Off by default: the viewer reports what matters to the user in
// its own words. QT_LOGGING_RULES="tarvelo.tiff.debug=true" shows them all.
Q_DECLARE_LOGGING_CATEGORY(lcTiff)

namespace TiffLog {

// Routes libtiff's process-wide handlers to lcTiff; cheap to call again.
void install();

// Opens a file for reading with handlers that also keep the last error text in
// *lastError (which must outlive the handle), and a bound on any single allocation
// libtiff makes for it.
TIFF *open(const QString &path, QString *lastError);

} // namespace TiffLog
