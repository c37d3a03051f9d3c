#include "viewer/tifflog.h"

#include <QFile>
#include <QString>

#include <cstdarg>
#include <cstdio>
#include <mutex>

Q_LOGGING_CATEGORY(lcTiff, "tarvelo.tiff", QtCriticalMsg)

namespace {

// libtiff's largest single allocation for one file: strip buffers and tag arrays of a
// sane file stay far below it, a hostile header cannot ask for more.
constexpr tmsize_t kMaxSingleAllocation = tmsize_t(1) << 30;

QString format(const char *module, const char *fmt, va_list ap)
{
    char text[512];
    std::vsnprintf(text, sizeof text, fmt, ap);
    return module && *module ? QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(module),
                                                             QString::fromLocal8Bit(text))
                             : QString::fromLocal8Bit(text);
}

void globalWarning(const char *module, const char *fmt, va_list ap)
{
    if (lcTiff().isDebugEnabled())
        qCDebug(lcTiff).noquote() << format(module, fmt, ap);
}

void globalError(const char *module, const char *fmt, va_list ap)
{
    if (lcTiff().isWarningEnabled())
        qCWarning(lcTiff).noquote() << format(module, fmt, ap);
}

int handleError(TIFF *, void *user, const char *module, const char *fmt, va_list ap)
{
    const QString text = format(module, fmt, ap);
    if (user)
        *static_cast<QString *>(user) = text;
    qCWarning(lcTiff).noquote() << text;
    return 1;
}

int handleWarning(TIFF *, void *, const char *module, const char *fmt, va_list ap)
{
    if (lcTiff().isDebugEnabled())
        qCDebug(lcTiff).noquote() << format(module, fmt, ap);
    return 1;
}

} // namespace

namespace TiffLog {

void install()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetWarningHandler(globalWarning);
        TIFFSetErrorHandler(globalError);
    });
}

TIFF *open(const QString &path, QString *lastError)
{
    install();
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, handleError, lastError);
    TIFFOpenOptionsSetWarningHandlerExtR(options, handleWarning, nullptr);
    TIFF *tif = TIFFOpenExt(QFile::encodeName(path).constData(), "r", options);
    TIFFOpenOptionsFree(options);
    return tif;
}

} // namespace TiffLog
