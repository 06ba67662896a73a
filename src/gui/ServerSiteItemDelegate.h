#pragma once

#include <QAbstractItemDelegate>

// Paints one server-list row: background by state, separator, flag, country
// on the first line, city (and dedicated address) on the second, and the
// stealth, pin and dedicated badges at the right. The row's site is the
// item's user-role value; pens, brushes and font come from the process-wide
// ServerListWidgetStyle.
class ServerSiteItemDelegate : public QAbstractItemDelegate
{
    Q_OBJECT

public:
    explicit ServerSiteItemDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
