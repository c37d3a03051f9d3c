#include "browser/browseicons.h"

BrowseIcons::BrowseIcons()
    : disk(QStringLiteral("://icon/disk icon.png")),
      folder(QStringLiteral("://icon/folder.png")),
      folderChecked(QStringLiteral("://icon/folder_checked.png")),
      parent(QStringLiteral("://icon/folder_128x102_5.png")),
      file(QStringLiteral("://icon/file.png")),
      fileChecked(QStringLiteral("://icon/file_checked.png"))
{
}

const QIcon &BrowseIcons::forRow(const ListRow &row) const
{
    switch (row.role) {
    case ListRow::Parent:
        return parent;
    case ListRow::Folder:
        return row.local ? folderChecked : folder;
    case ListRow::File:
        break;
    }
    return row.local ? fileChecked : file;
}
