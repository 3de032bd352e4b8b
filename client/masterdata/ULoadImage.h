#pragma once
//! TfrmLoadImage: the picture window of product lines and employees. It shows a copy of
//! the record's picture, fitted into its frame, and lets the operator choose another file,
//! save the picture to a file or clear it.

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QRect>

class QLabel;
class TLumobitBtn;

//! Where a picture of that size is shown in a frame of that size: never enlarged, its
//! proportions kept, centred (offsets truncated toward zero).
QRect fitPicture(const QSize &frame, const QSize &picture);

class TfrmLoadImage : public QDialog
{
    Q_OBJECT

public:
    //! picture: the record's picture as stored (empty for none).
    explicit TfrmLoadImage(const QByteArray &picture, QWidget *parent = nullptr);

    //! The picture as the record will keep it: JPEG, or empty for none.
    QByteArray picture() const { return m_stored; }
    //! Loads a file into the frame; a file that is no picture leaves the frame as it was.
    bool loadFile(const QString &path);
    //! Writes what is stored to a file; false when empty or not written.
    bool saveFile(const QString &path) const;
    void clear();
    //! Where the picture is shown inside the frame (empty when there is none).
    QRect shownRect() const;
    QWidget *pictureFrame() const { return m_frame; }

    //! The picture dialog of the data-aware picture control: this window, modal.
    static bool edit(QWidget *parent, QByteArray &picture);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void chooseFile();
    void saveAs();
    void showPicture(const QImage &image);
    void fit();

    QWidget *m_frame;
    QLabel *m_image;
    QImage m_picture;
    QByteArray m_stored;
};
