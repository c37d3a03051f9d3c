#pragma once
#include <QString>

// How the local copy of a file from the instrument's list is opened.
enum class ListFileKind {
    Image,  // the image browser
    Pdf,    // the desktop's viewer
    Other,  // no usable local copy: offer to download it
};

// True when a Qt image reader recognises the file and can tell its size. Only the
// header is read, so a large image is decoded once - by the viewer - not twice.
bool loadsAsImage(const QString &localFile);

// name is the list entry; a PDF is any existing file whose name contains ".pdf".
ListFileKind listFileKind(const QString &localFile, const QString &name);
