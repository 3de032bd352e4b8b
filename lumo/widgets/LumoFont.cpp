#include "LumoFont.h"

#include <QApplication>
#include <QWidget>

namespace lumo {

namespace {

const QString kSongTi = QStringLiteral("宋体");

//! Families tried in order when "宋体" itself is not installed: the face itself under its
//! other names, then sans faces, which read better than a serif at 9 points on screen.
const QStringList kCjkFallbacks = {
    QStringLiteral("SimSun"),
    QStringLiteral("NSimSun"),
    QStringLiteral("Noto Sans CJK SC"),
    QStringLiteral("Source Han Sans SC"),
    QStringLiteral("WenQuanYi Micro Hei"),
    QStringLiteral("WenQuanYi Zen Hei"),
    QStringLiteral("Noto Serif CJK SC"),
    QStringLiteral("Source Han Serif SC"),
    QStringLiteral("AR PL UMing CN"),
};

void registerSubstitutions()
{
    static const bool done = [] {
        QFont::insertSubstitutions(kSongTi, kCjkFallbacks);
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

QFont lumoFont()
{
    registerSubstitutions();
    QFont font(kSongTi);
    font.setFamilies(QStringList{kSongTi} + kCjkFallbacks);
    font.setPointSize(9);
    return font;
}

void applyLumoFont(QWidget *widget)
{
    if (widget)
        widget->setFont(lumoFont());
}

void useLumoFontEverywhere()
{
    QApplication::setFont(lumoFont());
}

} // namespace lumo
