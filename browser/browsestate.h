#pragma once
// The main window's browse state beside its members (kept out of the widely included header).
#include "app/mainwindow.h"
#include "browser/browseicons.h"
#include "browser/listing.h"

struct MainWindow::Browse : QObject
{
    explicit Browse(QObject *parent) : QObject(parent) {}
    BrowseIcons icons;
    FolderListing listing;
    quint64 rootLineId = 0; // the line the root item was made from
    bool kindsStale = false; // m_itemKinds lags behind the listing
};
