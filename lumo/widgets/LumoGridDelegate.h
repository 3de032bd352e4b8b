#pragma once
//! Cell painting shared by the library's grids: selected cells yellow on navy, other
//! cells on the background the grid chooses (alternating rows, money-green columns).

#include <QStyledItemDelegate>

#include <functional>

class TLumoGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using Background = std::function<QColor(const QModelIndex &index)>;

    TLumoGridDelegate(Background background, QObject *parent);

    //! Navy ($800000 as the platform writes it) and yellow of a selected cell.
    static QColor selectedBackground() { return QColor(0x00, 0x00, 0x80); }
    static QColor selectedText() { return QColor(Qt::yellow); }
    //! White and the information background: the row colours every grid is given.
    static QColor rowColorOne();
    static QColor rowColorTwo();

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    Background m_background;
};
