#include "browser/browseicons.h"

namespace {

// Whether `name` ends in `suffix` (lower-case ASCII), in any case. No character beyond ASCII
// folds to a letter of the suffixes asked for here, so folding ASCII alone answers as a full
// case-insensitive comparison does, at a fraction of its cost for each of many names.
bool endsWithAnyCase(QStringView name, QLatin1String suffix)
{
    if (name.size() < suffix.size())
        return false;
    const QChar *tail = name.data() + (name.size() - suffix.size());
    for (int i = 0; i < suffix.size(); ++i) {
        ushort c = tail[i].unicode();
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        if (c != uchar(suffix.data()[i]))
            return false;
    }
    return true;
}

} // namespace

BrowseIcons::FileType BrowseIcons::fileType(QStringView name)
{
    if (endsWithAnyCase(name, QLatin1String(".tif"))
        || endsWithAnyCase(name, QLatin1String(".tiff")))
        return TiffFile;
    if (endsWithAnyCase(name, QLatin1String(".pdf")))
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
