#pragma once
#include <QtGlobal>

// A string-based connection that fails leaves a feature silently dead; say so loudly.
inline bool checkConnection(bool connected, const char *what)
{
    if (!connected)
        qWarning("MainWindow: connection failed: %s", what);
    return connected;
}
