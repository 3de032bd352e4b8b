#pragma once
//! A list of actions with the pictures they show; an action's picture is the list's
//! image at the action's "ImageIndex".

#include <QAction>
#include <QObject>
#include <QPixmap>

class TLumoActionList : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString TagStr READ TagStr WRITE setTagStr)

public:
    explicit TLumoActionList(QObject *parent = nullptr);

    QString TagStr() const { return m_tagStr; }
    void setTagStr(const QString &value) { m_tagStr = value.toUpper(); }

    //! The image list the actions' ImageIndex refers to.
    QList<QPixmap> Images() const { return m_images; }
    void setImages(const QList<QPixmap> &images) { m_images = images; }

    //! A new action owned by the list.
    QAction *addAction(const QString &caption, int imageIndex = -1);
    QList<QAction *> actions() const;

    //! The picture of an action from its list's images; empty when it has none.
    static QPixmap pictureOf(const QAction *action);

private:
    QString m_tagStr;
    QList<QPixmap> m_images;
};
