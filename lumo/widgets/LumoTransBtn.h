#pragma once
//! A launcher picture with its companion label: hovering dots the picture blue and
//! underlines the label, and the label follows the picture wherever it goes.

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAction;
class TLumoLabel;

class TLumoTransBtn : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(TLumoLabel *btnLabel READ btnLabel)
    Q_PROPERTY(TLabelPosition LabelPosition READ LabelPosition WRITE setLabelPosition)
    Q_PROPERTY(int LabelSpacing READ LabelSpacing WRITE setLabelSpacing)
    Q_PROPERTY(QFont LabelFont READ LabelFont WRITE setLabelFont)
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(QAction *Action READ Action WRITE setAction)
    Q_PROPERTY(bool RefreshIT READ RefreshIT WRITE setRefreshIT)
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)

public:
    enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };
    Q_ENUM(TLabelPosition)

    explicit TLumoTransBtn(QWidget *parent = nullptr);
    ~TLumoTransBtn() override;

    TLumoLabel *btnLabel() const { return m_label; }
    TLabelPosition LabelPosition() const { return m_position; }
    void setLabelPosition(TLabelPosition position);
    int LabelSpacing() const { return m_spacing; }
    void setLabelSpacing(int spacing);
    QFont LabelFont() const;
    void setLabelFont(const QFont &font);
    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }
    QAction *Action() const { return m_action; }
    void setAction(QAction *action);
    bool RefreshIT() const { return false; }
    //! Binds the current action again: its caption and picture are read anew.
    void setRefreshIT(bool) { setAction(m_action); }
    QPixmap Picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
    bool hovered() const { return m_hovered; }

    //! The picture with every even column and row pixel that differs from the
    //! top-left pixel painted blue.
    static QPixmap dotted(const QPixmap &picture);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setHovered(bool hovered);
    void placeLabel();
    void click();

    QPointer<TLumoLabel> m_label;
    TLabelPosition m_position = lpBelow;
    int m_spacing = 3;
    QString m_tagStr;
    QPointer<QAction> m_action;
    QPixmap m_picture;
    QPixmap m_saved;
    bool m_hovered = false;
};
