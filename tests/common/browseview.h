#pragma once
// The browser's tree and list as text, for comparing in tests.
#include "app/mainwindow.h"
#include "browser/browserpanel.h"
#include "link/instrumentlink.h"
#include "app/fileopener.h"
#include "app/mainwindowui.h"
#include "browser/browseicons.h"

#include <functional>

namespace BrowseView {

// "disk", "folder", "folder+" (present locally), "parent", "file", "file+", "tiff", "tiff+",
// "pdf", "pdf+"; "?" for others.
inline QString iconName(MainWindow &window, const QIcon &icon)
{
    const BrowseIcons &icons = window.browser()->icons();
    const QPair<const QIcon *, const char *> names[] = {
        {&icons.disk, "disk"}, {&icons.folder, "folder"}, {&icons.folderChecked, "folder+"},
        {&icons.parent, "parent"}, {&icons.file, "file"}, {&icons.fileChecked, "file+"},
        {&icons.tiff, "tiff"}, {&icons.tiffChecked, "tiff+"}, {&icons.pdf, "pdf"},
        {&icons.pdfChecked, "pdf+"}};
    for (const auto &n : names) {
        if (n.first->cacheKey() == icon.cacheKey())
            return QLatin1String(n.second);
    }
    return QStringLiteral("?");
}

// The root and the folders below it: "/TARVELO(a(x),b)".
inline QString tree(MainWindow &window)
{
    std::function<QString(QTreeWidgetItem *)> dump = [&](QTreeWidgetItem *item) {
        QStringList children;
        for (int i = 0; i < item->childCount(); ++i)
            children.append(dump(item->child(i)));
        return item->text(0) + (children.isEmpty() ? QString() : '(' + children.join(',') + ')');
    };
    QTreeWidget *widget = window.form()->FILE_TREEWIDGET;
    return widget->topLevelItemCount() ? dump(widget->topLevelItem(0)) : QString();
}

// The list's rows: "parent ..|folder a|file+ b".
inline QString list(MainWindow &window)
{
    QStringList rows;
    QListWidget *widget = window.form()->FILE_LISTWIDGET;
    for (int i = 0; i < widget->count(); ++i)
        rows.append(iconName(window, widget->item(i)->icon()) + ' ' + widget->item(i)->text());
    return rows.join('|');
}

} // namespace BrowseView
