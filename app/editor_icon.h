#pragma once
// The editor's icon, drawn rather than shipped, so the window, the installed
// hicolor PNGs and the Windows icon are one picture.

#include <QIcon>
#include <QPixmap>

// The picture at size x size pixels.
QPixmap DrawEditorIcon(int size);
QIcon EditorIcon();
