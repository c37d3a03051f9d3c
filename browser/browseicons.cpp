#include "browser/browseicons.h"

BrowseIcons::FileType BrowseIcons::fileType(QStringView name)
{
    // Every type told here ends in an "f": most other names go by their last letter alone.
    if (name.isEmpty() || (name.back() != QLatin1Char('f') && name.back() != QLatin1Char('F')))
        return OtherFile;
    if (name.endsWith(QLatin1String(".tif"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".tiff"), Qt::CaseInsensitive))
        return TiffFile;
    if (name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return PdfFile;
    return OtherFile;
}

BrowseIcons::BrowseIcons()
    : disk(QStringLiteral("://icon/disk icon.png")),
      folder(QStringLiteral("://icon/folder.png")),
      folderChecked(QStringLiteral("://icon/folder_checked.png")),
      parent(QStringLiteral("://icon/folder_128x102_5.png")),
      file(QStringLiteral("://icon/file.png")),
      fileChecked(QStringLiteral("://icon/file_checked.png")),
      tiff(QStringLiteral("://icon/file_tiff.png")),
      tiffChecked(QStringLiteral("://icon/file_tiff_checked.png")),
      pdf(QStringLiteral("://icon/file_pdf.png")),
      pdfChecked(QStringLiteral("://icon/file_pdf_checked.png"))
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
    switch (fileType(row.name)) {
    case TiffFile:
        return row.local ? tiffChecked : tiff;
    case PdfFile:
        return row.local ? pdfChecked : pdf;
    case OtherFile:
        break;
    }
    return row.local ? fileChecked : file;
}
