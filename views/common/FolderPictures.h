#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures of encrypted folders, drawn rather than loaded: a folder with a
// closed padlock (logged out) or an open one (logged in), and the large pictures the contents
// list shows behind its rows.
QIcon LoggedOutFolderIcon();
QIcon LoggedInFolderIcon();

enum class ListBackground
{
    Plain,    // no folder, or a writable folder
    ReadOnly, // a folder registered read-only: a tinted background
    Locked,   // the selected folder is logged out: a padlock
};
// The picture for a list of that size; Plain gives a null pixmap (the view's own background).
QPixmap ListBackgroundPicture(ListBackground kind, const QSize& size, const QColor& base);
