#pragma once
//! The title strip `pnlTop` of the server's borderless windows: icon, caption, title and
//! the minimise/close images. Dragging the strip moves the window.

#include "WindowDrag.h"

#include <QFrame>

class QLabel;
class QToolButton;

namespace korvane {

class TSrvTitleStrip : public QFrame
{
    Q_OBJECT
public:
    TSrvTitleStrip(const QString &caption, const QString &title, bool withMinimise,
                   QWidget *parent = nullptr);

    QLabel *titleLabel() const { return m_title; }

signals:
    void minimiseClicked();
    void closeClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QToolButton *imageButton(const QString &name, int picture);

    QLabel *m_title = nullptr;
    TWindowDrag m_drag{this};
};

} // namespace korvane
