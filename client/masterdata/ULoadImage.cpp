#include "ULoadImage.h"

#include "LumobitBtn.h"
#include "UPicture.h"

#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

QRect fitPicture(const QSize &frame, const QSize &picture)
{
    if (picture.isEmpty() || frame.isEmpty())
        return {};
    int width = std::min(frame.width(), picture.width());
    int height = std::min(frame.height(), picture.height());
    const double tall = double(picture.height()) / picture.width();
    const double wide = double(picture.width()) / picture.height();
    if (height > width * tall)
        height = int(std::lround(width * tall));
    if (width > height * wide)
        width = int(std::lround(height * wide));
    return {(frame.width() - width) / 2, (frame.height() - height) / 2, width, height};
}

TfrmLoadImage::TfrmLoadImage(const QByteArray &picture, QWidget *parent)
    : QDialog(parent), m_frame(new QWidget(this)), m_image(new QLabel(m_frame)), m_stored(picture)
{
    setWindowTitle(QStringLiteral("选择图片"));
    setObjectName(QStringLiteral("frmLoadImage"));
    m_frame->setObjectName(QStringLiteral("pnlImage"));
    m_frame->setFixedSize(400, 300);
    m_frame->setAutoFillBackground(true);
    m_frame->setBackgroundRole(QPalette::Base);
    m_image->setObjectName(QStringLiteral("Image"));
    m_image->setScaledContents(true);

    auto *buttons = new QVBoxLayout;
    auto button = [this, buttons](const char *name, const char *text, auto slot) {
        auto *b = new TLumobitBtn(this);
        b->setObjectName(QLatin1String(name));
        b->setText(QString::fromUtf8(text));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button("btnLoad", "选择", &TfrmLoadImage::chooseFile);
    button("btnSave", "另存为...", &TfrmLoadImage::saveAs);
    button("btnClear", "清除", &TfrmLoadImage::clear);
    buttons->addStretch(1);
    button("btnOK", "确定", &QDialog::accept);
    button("btnCancel", "取消", &QDialog::reject);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_frame);
    layout->addLayout(buttons);
    showPicture(korvane::picture::decodePicture(picture));
}

bool TfrmLoadImage::edit(QWidget *parent, QByteArray &picture)
{
    TfrmLoadImage dialog(picture, parent ? parent->window() : nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    picture = dialog.picture();
    return true;
}

bool TfrmLoadImage::loadFile(const QString &path)
{
    const QImage image = korvane::picture::readPictureFile(path);
    const QByteArray stored = korvane::picture::storedPicture(image);
    if (stored.isEmpty())
        return false; // not a picture: the frame keeps what it had, without a word
    m_stored = stored;
    showPicture(image);
    return true;
}

bool TfrmLoadImage::saveFile(const QString &path) const
{
    if (m_stored.isEmpty())
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(m_stored) == m_stored.size();
}

void TfrmLoadImage::clear()
{
    m_stored.clear();
    showPicture(QImage());
}

QRect TfrmLoadImage::shownRect() const
{
    return m_picture.isNull() ? QRect() : m_image->geometry();
}

void TfrmLoadImage::chooseFile()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择图片"), QString(),
                                     QStringLiteral("图片 (*.jpg *.jpeg *.png *.bmp)"));
    if (!path.isEmpty())
        loadFile(path);
}

void TfrmLoadImage::saveAs()
{
    if (m_stored.isEmpty())
        return;
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("另存为"), QString(),
                                                      QStringLiteral("JPEG 图片 (*.jpg)"));
    if (!path.isEmpty())
        saveFile(path); // a failure to write is not reported
}

void TfrmLoadImage::showPicture(const QImage &image)
{
    m_picture = image;
    m_image->setPixmap(QPixmap::fromImage(image));
    fit();
}

void TfrmLoadImage::fit()
{
    const QRect shown = fitPicture(m_frame->size(), m_picture.size());
    m_image->setGeometry(shown);
    m_image->setVisible(!shown.isEmpty());
}

void TfrmLoadImage::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        fit();
}

void TfrmLoadImage::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen, not on the window that opened it.
    if (const QScreen *shown = screen())
        move(shown->availableGeometry().center() - rect().center());
    fit();
}
