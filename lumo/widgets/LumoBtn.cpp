#include "LumoBtn.h"

#include "LumoDraw.h"
#include "LumoFont.h"

#include <QAction>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QPainter>

namespace {

int half(int x)
{
    return x / 2;
}

const QColor kDisabledCaption(0x80, 0x80, 0x80);

} // namespace

TLumoBtn::TLumoBtn(QWidget *parent) : QWidget(parent)
{
    resize(75, 25);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    lumo::applyLumoFont(this);
}

TLumoBtn::Placement TLumoBtn::place(TLayOut layout, const Metrics &m)
{
    const int W = m.width, H = m.height, gw = m.glyphWidth, gh = m.glyphHeight;
    const int h = m.textHeight, a = m.letterWidth, tw = m.captionWidth;
    const int th = (2 * m.lines - 1) * h;
    Placement p;
    if (gw <= 0 || gh <= 0) {
        p.captions = {half(W - tw), half(H - th)};
        return p;
    }
    switch (layout) {
    case glLeft:
        p.glyph = {std::max(0, half(W - gw - tw - a)), half(H - gh)};
        p.captions = {p.glyph.x() + gw + half(a), half(H - th)};
        break;
    case glRight: {
        const int blockX = half(W - gw - tw - a);
        const int wanted = blockX + tw + a;
        const int glyphX = std::min(wanted, W - gw);
        p.glyph = {glyphX, half(H - gh)};
        p.captions = {blockX - (wanted - glyphX), half(H - th)};
        break;
    }
    case glTop:
        p.glyph = {half(W - gw), std::max(0, half(H - gh - th - h))};
        p.captions = {half(W - tw), p.glyph.y() + gh};
        break;
    case glBottom: {
        int blockY = std::max(0, half(H - gh - th - h));
        int glyphY = blockY + th + h;
        if (glyphY + gh > H) {
            glyphY = H - gh;
            blockY = H - gh - th - h;
        }
        p.glyph = {half(W - gw), glyphY};
        p.captions = {half(W - tw), blockY};
        break;
    }
    case glCenter:
        p.glyph = {half(W - gw), half(H - gh)};
        p.captions = {half(W - tw), half(H - th)};
        break;
    }
    return p;
}

TLumoBtn::Metrics TLumoBtn::metrics() const
{
    const QFontMetrics fm(font());
    Metrics m;
    m.width = width();
    m.height = height();
    if (glyphShown()) {
        m.glyphWidth = m_glyph.width();
        m.glyphHeight = m_glyph.height();
    }
    m.textHeight = fm.height();
    m.letterWidth = fm.horizontalAdvance(QLatin1Char('A'));
    if (m_showCaption) {
        m.lines = int(m_captions.size());
        for (const QString &line : m_captions)
            m.captionWidth = std::max(m.captionWidth, fm.horizontalAdvance(line));
    }
    return m;
}

TLumoBtn::State TLumoBtn::state() const
{
    if (m_down || m_pressed)
        return State::Pressed;
    if (!isEnabled())
        return State::Disabled;
    return m_hover ? State::Hover : State::Normal;
}

QPixmap TLumoBtn::statePicture() const
{
    if (mode() != Mode::Picture)
        return QPixmap();
    const QPixmap *picture = &m_imgNormal;
    switch (state()) {
    case State::Disabled:
        picture = &m_imgDisable;
        break;
    case State::Hover:
        picture = &m_imgEnter;
        break;
    case State::Pressed:
        picture = &m_imgDown;
        break;
    case State::Normal:
        break;
    }
    return picture->isNull() ? m_imgNormal : *picture;
}

TLumoBtn::Mode TLumoBtn::mode() const
{
    if (m_regionBtn && !m_glyph.isNull())
        return Mode::Shaped;
    return m_imgNormal.isNull() ? Mode::Plain : Mode::Picture;
}

bool TLumoBtn::glyphShown() const
{
    return m_showGlyph && !m_glyph.isNull();
}

void TLumoBtn::setCaptions(const QStringList &captions)
{
    m_captions = captions;
    refresh();
}

void TLumoBtn::setPicture(QPixmap &slot, const QPixmap &picture)
{
    slot = picture;
    refresh();
}

void TLumoBtn::setRegionBtn(bool on)
{
    m_regionBtn = on;
    if (!on)
        clearMask();
    refresh();
}

void TLumoBtn::setGlaphOffSet(int pixels)
{
    m_glaphOffSet = pixels;
    update();
}

void TLumoBtn::setGrowWithBMP(bool on)
{
    m_growWithBmp = on;
    refresh();
}

void TLumoBtn::setGlyph(const QPixmap &glyph)
{
    m_glyph = lumo::withoutTransparentColour(glyph);
    refresh();
}

void TLumoBtn::setLayOut(TLayOut layout)
{
    m_layOut = layout;
    refresh();
}

void TLumoBtn::setShowCaption(bool on)
{
    m_showCaption = on;
    refresh();
}

void TLumoBtn::setShowGlyph(bool on)
{
    m_showGlyph = on;
    refresh();
}

void TLumoBtn::setDown(bool down)
{
    m_down = down;
    refresh();
}

void TLumoBtn::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void TLumoBtn::setFontColor(const QColor &color)
{
    m_fontColor = color;
    update();
}

void TLumoBtn::setAction(QAction *action)
{
    if (m_action)
        disconnect(m_action, nullptr, this, nullptr);
    m_action = action;
    if (!action)
        return;
    connect(action, &QAction::changed, this, &TLumoBtn::takeActionCaption);
    takeActionCaption();
}

void TLumoBtn::takeActionCaption()
{
    if (!m_action)
        return;
    setEnabled(m_action->isEnabled());
    setCaptions({m_action->text()});
}

void TLumoBtn::setHover(bool hover)
{
    m_hover = hover;
    refresh();
}

void TLumoBtn::refresh()
{
    growToPicture();
    updateRegion();
    update();
}

void TLumoBtn::growToPicture()
{
    if (mode() != Mode::Picture || !m_growWithBmp || lumo::isLaidOut(this))
        return;
    const QSize size = statePicture().size();
    if (size != this->size())
        resize(size);
}

QColor TLumoBtn::captionColor() const
{
    switch (state()) {
    case State::Disabled:
        return kDisabledCaption;
    case State::Hover:
        return Qt::blue;
    case State::Normal:
    case State::Pressed:
        break;
    }
    return m_fontColor.isValid() ? m_fontColor : QColor(Qt::black);
}

void TLumoBtn::paintGlyphAndCaptions(QPainter &painter) const
{
    const Placement at = placement();
    if (glyphShown()) {
        const int lift = state() == State::Hover ? m_glaphOffSet : 0;
        painter.drawPixmap(at.glyph - QPoint(lift, lift), m_glyph);
    }
    if (!m_showCaption)
        return;
    const QFontMetrics fm(font());
    const int h = fm.height();
    const int tw = metrics().captionWidth;
    painter.setPen(captionColor());
    painter.setFont(font());
    for (int i = 0; i < m_captions.size(); ++i) {
        const QString &line = m_captions.at(i);
        const int x = at.captions.x() + half(tw - fm.horizontalAdvance(line));
        const int y = at.captions.y() + i * (h + half(h));
        painter.drawText(QRect(x, y, fm.horizontalAdvance(line), h), Qt::AlignLeft | Qt::AlignTop,
                         line);
    }
}

void TLumoBtn::paintPlainFrame(QPainter &painter) const
{
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    if (state() == State::Pressed)
        lumo::drawFrame(painter, rect(), shadow, light);
    else
        lumo::drawFrame(painter, rect(), light, shadow);
}

void TLumoBtn::updateRegion()
{
    if (mode() != Mode::Shaped || width() <= 0 || height() <= 0)
        return;
    QImage shape(size(), QImage::Format_RGB32);
    shape.fill(Qt::white);
    {
        QPainter painter(&shape);
        paintGlyphAndCaptions(painter);
    }
    setMask(lumo::regionDifferingFromCorner(shape));
}

void TLumoBtn::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    switch (mode()) {
    case Mode::Picture:
        painter.drawPixmap(rect(), statePicture());
        break;
    case Mode::Plain:
        painter.fillRect(rect(), m_color.isValid() ? m_color : palette().color(QPalette::Button));
        paintPlainFrame(painter);
        break;
    case Mode::Shaped:
        painter.fillRect(rect(), Qt::white);
        break;
    }
    paintGlyphAndCaptions(painter);
}

void TLumoBtn::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateRegion();
}

void TLumoBtn::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (isEnabled())
        setHover(true);
    emit OnMouseEnter();
}

void TLumoBtn::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    setHover(false);
    emit OnMouseLeave();
}

void TLumoBtn::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_pressed) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    move(pos() + QPoint(m_offSet, m_offSet));
    refresh();
}

void TLumoBtn::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool inside = rect().contains(event->position().toPoint());
    m_pressed = false;
    m_hover = false;
    move(pos() - QPoint(m_offSet, m_offSet));
    refresh();
    if (inside)
        click();
}

void TLumoBtn::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier)
        click();
    else
        QWidget::keyPressEvent(event);
}

void TLumoBtn::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            m_hover = false;
        refresh();
    } else if (event->type() == QEvent::FontChange) {
        refresh();
    }
}

void TLumoBtn::click()
{
    emit clicked();
    if (m_action)
        m_action->trigger();
}
