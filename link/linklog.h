#pragma once
#include <QLoggingCategory>

// Traces a user can switch on to send with a report of a failing download:
// QT_LOGGING_RULES="tarvelo.link.debug=true;tarvelo.download.debug=true". Quiet by default.
Q_DECLARE_LOGGING_CATEGORY(lcLink)
Q_DECLARE_LOGGING_CATEGORY(lcDownload)
