#include "link/linklog.h"

Q_LOGGING_CATEGORY(lcLink, "tarvelo.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDownload, "tarvelo.download", QtWarningMsg)
