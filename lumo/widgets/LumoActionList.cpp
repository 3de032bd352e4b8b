#include "LumoActionList.h"

namespace {
const char *const kImageIndex = "ImageIndex";
}

TLumoActionList::TLumoActionList(QObject *parent) : QObject(parent) {}

QAction *TLumoActionList::addAction(const QString &caption, int imageIndex)
{
    auto *action = new QAction(caption, this);
    action->setProperty(kImageIndex, imageIndex);
    return action;
}

QList<QAction *> TLumoActionList::actions() const
{
    return findChildren<QAction *>(Qt::FindDirectChildrenOnly);
}

QPixmap TLumoActionList::pictureOf(const QAction *action)
{
    if (!action)
        return QPixmap();
    const auto *list = qobject_cast<const TLumoActionList *>(action->parent());
    bool ok = false;
    const int index = action->property(kImageIndex).toInt(&ok);
    if (!list || !ok || index < 0 || index >= list->m_images.size())
        return QPixmap();
    return list->m_images.at(index);
}
