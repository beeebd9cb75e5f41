#pragma once

#include <QPixmap>

// The program's own pictures for the dialogs, drawn in code so that they scale and need no
// image files.

// The six take-out icons (32 × 32): 0 plain files, 1 plain folders, 2 plain files and folders,
// 3 to 5 the same encrypted (with a padlock). Any other index gives an empty pixmap.
QPixmap TakeOutIcon(int index);
// The product's icon: a storehouse with a padlock.
QPixmap ProductIcon(int size);
// The picture of the wait window.
QPixmap WaitPicture();
// The guidance pictures of the encryption steps, 0 to 3: dropping a file into the list, the
// encrypted file, opening it with a double click, and saving it back.
QPixmap GuidancePicture(int index);
