#pragma once
#include "link/listing.h"

#include <QIcon>

// The browser's icons, decoded once and shared by every item.
struct BrowseIcons
{
    // What a file name says about its content, for its icon only.
    enum FileType { OtherFile, TiffFile, PdfFile };
    static FileType fileType(QStringView name);

    BrowseIcons();
    const QIcon &forRow(const ListRow &row) const;

    QIcon disk;          // the tree's root
    QIcon folder;        // tree folders; list folders without a local copy
    QIcon folderChecked; // list folders present locally
    QIcon parent;        // ".."
    QIcon file;          // files of any other type
    QIcon fileChecked;
    QIcon tiff;          // images, so a run folder reads at a glance
    QIcon tiffChecked;
    QIcon pdf;           // reports
    QIcon pdfChecked;
};
