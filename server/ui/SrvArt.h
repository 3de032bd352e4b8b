#pragma once
//! The server's pictures, drawn rather than shipped: program and tray icons, the title
//! strip's images, the main window's button images and the login-screen sketch.

#include <QIcon>
#include <QPixmap>

namespace korvane {

enum class SrvPicture { Database, Address, Backup, About, Exit, Minimise, Close, Hint };

QPixmap srvAppIcon(int size);
//! One picture of the tray animation; frames cycle 0..trayFrameCount()-1.
QIcon srvTrayIcon(int frame);
int trayFrameCount();
QPixmap srvPicture(SrvPicture picture, int size);
//! A sketch of the client's login window, the address field left blank for a label.
QPixmap srvLoginSketch(const QSize &size);

} // namespace korvane
