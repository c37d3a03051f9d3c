#include "browser/listentryitem.h"

QVariant ListEntryItem::data(int role) const
{
    if ((role == Qt::DisplayRole || role == Qt::EditRole) && !m_nameSet)
        return m_name;
    if (role == Qt::DecorationRole && !m_iconSet)
        return m_icon;
    return QListWidgetItem::data(role);
}

void ListEntryItem::setData(int role, const QVariant &value)
{
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        m_nameSet = true;
    else if (role == Qt::DecorationRole)
        m_iconSet = true;
    QListWidgetItem::setData(role, value); // keeps the value and tells the list's views
}
