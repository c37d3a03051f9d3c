#pragma once
#include <QIcon>
#include <QListWidgetItem>
#include <QString>

// A row of the file list that holds its name and icon itself instead of in the item's list
// of role values: making that list (two allocations and two value copies per row) is most
// of the time a listing of tens of thousands of entries takes to fill. Whatever is set
// through setData afterwards is kept, and reported, as for any item.
class ListEntryItem : public QListWidgetItem
{
public:
    enum { Type = QListWidgetItem::UserType + 1 };

    explicit ListEntryItem(const QString &name) : QListWidgetItem(nullptr, Type), m_name(name) {}

    // For a row the list's views have not been told of yet (they are told afterwards).
    void setIconUntold(const QIcon &icon) { m_icon = icon; }

    QVariant data(int role) const override;
    void setData(int role, const QVariant &value) override;
    QListWidgetItem *clone() const override { return new ListEntryItem(*this); }

private:
    QString m_name;
    QIcon m_icon;
    bool m_nameSet = false; // the name's role was set afterwards: the item's values hold it
    bool m_iconSet = false;
};
