#include "LumoDBImage.h"

#include "LumoFieldLink.h"
#include "LumoFont.h"
#include "LumoTagLook.h"

#include <QMouseEvent>

namespace {

TLumoDBImage::PictureDialog &pictureDialog()
{
    static TLumoDBImage::PictureDialog dialog;
    return dialog;
}

} // namespace

TLumoDBImage::TLumoDBImage(QWidget *parent) : QLabel(parent), m_link(new TLumoFieldLink(this))
{
    lumo::applyLumoFont(this);
    setScaledContents(true);
    setAutoFillBackground(true);
    connect(m_link, &TLumoFieldLink::dataChanged, this, &TLumoDBImage::load);
}

void TLumoDBImage::setTagStr(const QString &value)
{
    const TLumoTagRule rule = LumoTagStr::apply(TLumoTagKind::Picture, value);
    m_tagStr = rule.stored;
    m_readOnly = rule.readOnly;
    QPalette p = palette();
    p.setColor(QPalette::Window,
               rule.readOnly ? LumoTagStr::moneyGreen() : QPalette().color(QPalette::Base));
    setPalette(p);
}

TLumoDataSource *TLumoDBImage::DataSource() const
{
    return m_link->DataSource();
}

void TLumoDBImage::setDataSource(TLumoDataSource *source)
{
    m_link->setDataSource(source);
}

QString TLumoDBImage::DataField() const
{
    return m_link->DataField();
}

void TLumoDBImage::setDataField(const QString &name)
{
    m_link->setDataField(name);
}

void TLumoDBImage::setPictureDialog(PictureDialog dialog)
{
    pictureDialog() = std::move(dialog);
}

void TLumoDBImage::load()
{
    const TLumoField *field = m_link->field();
    QPixmap picture;
    if (field && !field->IsNull())
        picture.loadFromData(field->Value().toByteArray());
    setPixmap(picture);
}

void TLumoDBImage::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        choosePicture();
}

void TLumoDBImage::choosePicture()
{
    // A read-only picture is shown, never replaced.
    if (m_readOnly || !m_link->DataSource() || !m_link->dataSet() ||
        m_link->DataField().isEmpty() || !pictureDialog())
        return;
    const TLumoField *field = m_link->field();
    QByteArray picture = field && !field->IsNull() ? field->Value().toByteArray() : QByteArray();
    if (!pictureDialog()(this, picture))
        return;
    m_link->write(picture.isEmpty() ? QVariant() : QVariant(picture));
    load();
}
