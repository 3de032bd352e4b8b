#pragma once
//! The picture button: state pictures, a plain 3D look or a window shaped like its glyph,
//! with a glyph and caption lines laid out around each other.

#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QAction;

class TLumoBtn : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QStringList Captions READ Captions WRITE setCaptions)
    Q_PROPERTY(QPixmap imgNormal READ imgNormal WRITE setImgNormal)
    Q_PROPERTY(QPixmap imgDisable READ imgDisable WRITE setImgDisable)
    Q_PROPERTY(QPixmap imgEnter READ imgEnter WRITE setImgEnter)
    Q_PROPERTY(QPixmap imgDown READ imgDown WRITE setImgDown)
    Q_PROPERTY(bool RegionBtn READ RegionBtn WRITE setRegionBtn)
    Q_PROPERTY(int OffSet READ OffSet WRITE setOffSet)
    Q_PROPERTY(int GlaphOffSet READ GlaphOffSet WRITE setGlaphOffSet)
    Q_PROPERTY(bool GrowWithBMP READ GrowWithBMP WRITE setGrowWithBMP)
    Q_PROPERTY(QPixmap Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(TLayOut LayOut READ LayOut WRITE setLayOut)
    Q_PROPERTY(bool ShowCaption READ ShowCaption WRITE setShowCaption)
    Q_PROPERTY(bool ShowGlyph READ ShowGlyph WRITE setShowGlyph)
    Q_PROPERTY(bool Down READ Down WRITE setDown)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE setFontColor)
    Q_PROPERTY(QAction *Action READ Action WRITE setAction)
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    enum TLayOut { glLeft, glRight, glBottom, glTop, glCenter };
    Q_ENUM(TLayOut)
    enum class State { Normal, Disabled, Hover, Pressed };

    //! What the glyph and caption layout is computed from.
    struct Metrics
    {
        int width = 0, height = 0;           // the button
        int glyphWidth = 0, glyphHeight = 0; // 0 × 0 without a shown glyph
        int textHeight = 0, letterWidth = 0; // one line of text, the letter "A"
        int captionWidth = 0, lines = 0;     // the widest caption line, number of lines
    };
    //! Top-left corners of the glyph and of the caption block.
    struct Placement
    {
        QPoint glyph;
        QPoint captions;
        bool operator==(const Placement &) const = default;
    };

    explicit TLumoBtn(QWidget *parent = nullptr);

    static Placement place(TLayOut layout, const Metrics &m);
    Metrics metrics() const;
    Placement placement() const { return place(m_layOut, metrics()); }
    State state() const;
    //! The picture painted for the current state (picture mode), empty otherwise.
    QPixmap statePicture() const;

    QStringList Captions() const { return m_captions; }
    void setCaptions(const QStringList &captions);
    QPixmap imgNormal() const { return m_imgNormal; }
    void setImgNormal(const QPixmap &p) { setPicture(m_imgNormal, p); }
    QPixmap imgDisable() const { return m_imgDisable; }
    void setImgDisable(const QPixmap &p) { setPicture(m_imgDisable, p); }
    QPixmap imgEnter() const { return m_imgEnter; }
    void setImgEnter(const QPixmap &p) { setPicture(m_imgEnter, p); }
    QPixmap imgDown() const { return m_imgDown; }
    void setImgDown(const QPixmap &p) { setPicture(m_imgDown, p); }
    bool RegionBtn() const { return m_regionBtn; }
    void setRegionBtn(bool on);
    int OffSet() const { return m_offSet; }
    void setOffSet(int pixels) { m_offSet = pixels; }
    int GlaphOffSet() const { return m_glaphOffSet; }
    void setGlaphOffSet(int pixels);
    bool GrowWithBMP() const { return m_growWithBmp; }
    void setGrowWithBMP(bool on);
    QPixmap Glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &glyph);
    TLayOut LayOut() const { return m_layOut; }
    void setLayOut(TLayOut layout);
    bool ShowCaption() const { return m_showCaption; }
    void setShowCaption(bool on);
    bool ShowGlyph() const { return m_showGlyph; }
    void setShowGlyph(bool on);
    bool Down() const { return m_down; }
    void setDown(bool down);
    QColor Color() const { return m_color; }
    void setColor(const QColor &color);
    //! The caption colour of the normal and pressed states (black while unset).
    QColor FontColor() const { return m_fontColor; }
    void setFontColor(const QColor &color);
    QAction *Action() const { return m_action; }
    void setAction(QAction *action);
    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }

signals:
    void clicked();
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    enum class Mode { Picture, Plain, Shaped };
    Mode mode() const;
    bool glyphShown() const;
    void setPicture(QPixmap &slot, const QPixmap &picture);
    void setHover(bool hover);
    void refresh();
    void growToPicture();
    void updateRegion();
    void paintGlyphAndCaptions(QPainter &painter) const;
    void paintPlainFrame(QPainter &painter) const;
    QColor captionColor() const;
    void takeActionCaption();
    void click();

    QStringList m_captions;
    QPixmap m_imgNormal, m_imgDisable, m_imgEnter, m_imgDown, m_glyph;
    bool m_regionBtn = false;
    int m_offSet = 0;
    int m_glaphOffSet = 2;
    bool m_growWithBmp = true;
    TLayOut m_layOut = glTop;
    bool m_showCaption = true;
    bool m_showGlyph = true;
    bool m_down = false;
    QColor m_color;
    QColor m_fontColor;
    QPointer<QAction> m_action;
    QString m_tagStr;
    bool m_hover = false;
    bool m_pressed = false;
};
