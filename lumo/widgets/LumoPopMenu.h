#pragma once
//! Popup menu whose items are drawn by a handler: the canvas, the item's rectangle and
//! whether it is selected. The standard drawing is the one the client's menus share.

#include <QMenu>

#include <functional>

class TLumoPopMenu : public QMenu
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    using DrawItem =
        std::function<void(QPainter &painter, const QRect &rect, QAction *item, bool selected)>;

    explicit TLumoPopMenu(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }

    //! Replaces the drawing of every item; an empty handler restores the standard one.
    void setDrawItem(DrawItem draw);
    //! An item drawn as the menu's title (info background, blue frame and caption).
    void setTitleItem(QAction *item) { m_title = item; }
    QAction *titleItem() const { return m_title; }

    //! Selected items on sky blue ($F0CAA6) framed in blue, others on the window colour;
    //! black caption 5 pixels from the left, centred vertically; "-" is a grey line.
    static void drawStandardItem(QPainter &painter, const QRect &rect, QAction *item,
                                 bool selected);
    //! The title look: info background framed in blue, caption in blue.
    static void drawTitleItem(QPainter &painter, const QRect &rect, QAction *item);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_tagStr;
    DrawItem m_draw;
    QAction *m_title = nullptr;
};
