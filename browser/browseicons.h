#pragma once
#include "browser/listing.h"

#include <QIcon>

// The browser's six icons, decoded once and shared by every item.
struct BrowseIcons
{
    BrowseIcons();
    const QIcon &forRow(const ListRow &row) const;

    QIcon disk;          // the tree's root
    QIcon folder;        // tree folders; list folders without a local copy
    QIcon folderChecked; // list folders present locally
    QIcon parent;        // ".."
    QIcon file;
    QIcon fileChecked;
};
