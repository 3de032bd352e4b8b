#pragma once
//! The panel: background picture, the query gradient, and the edit-area frame that the
//! child-form frame switches on for the data set with the same TagStr.

#include <QFrame>
#include <QPixmap>

class TLumoPanel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)
    Q_PROPERTY(TPnlType PnlType READ PnlType WRITE setPnlType)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QPixmap BackGround READ BackGround WRITE setBackGround)
    Q_PROPERTY(TBkDirect BkDirect READ BkDirect WRITE setBkDirect)

public:
    enum TPnlType { ptNormal, ptQuery, ptActivePnl };
    Q_ENUM(TPnlType)
    enum TBkDirect { bkdLefttoRight, bkdTopToBottom, BkStrech };
    Q_ENUM(TBkDirect)

    explicit TLumoPanel(QWidget *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value);
    TPnlType PnlType() const { return m_pnlType; }
    void setPnlType(TPnlType type);
    bool Active() const { return m_active; }
    //! Only an edit-area panel becomes active; it then tells OnActive.
    void SetActive(bool active);
    QPixmap BackGround() const { return m_background; }
    void setBackGround(const QPixmap &picture);
    TBkDirect BkDirect() const { return m_bkDirect; }
    void setBkDirect(TBkDirect direct);

    //! The colour of strip i (0..254) of the query gradient, and the strips' widths
    //! across a given width (they fill it exactly).
    static QColor gradientColor(int strip);
    static QList<int> gradientWidths(int width);

signals:
    void OnActive();
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void paintBackground(QPainter &painter) const;
    void paintGradient(QPainter &painter) const;
    void paintActiveFrame(QPainter &painter) const;
    void focusLastChild();

    QString m_tagStr = QStringLiteral("D0");
    TPnlType m_pnlType = ptNormal;
    bool m_active = false;
    QPixmap m_background;
    TBkDirect m_bkDirect = bkdLefttoRight;
};
