#pragma once

#include <QString>

class ContainerChecks;

// Sizes, times and names of items compared with each other or with containers.

// The files, bytes and folders below a path (a plain file counts as one file). All three are 0
// first; a path that is neither a folder nor a file gives -1, with A-308 when show is 1.
int FolderStatisticsChecked(const QString& path, int show, qint64* files, qint64* bytes, qint64* folders);

// 0 when both paths are given, both can be read and their last-write times are equal; -1
// otherwise. No message.
int SameModifiedTime(const QString& a, const QString& b);

// Which of the two files SameSize compares are containers.
enum SizeKind
{
    NeitherContainer = 0,
    OnlyBContainer = 1,
    BothContainers = 2,
    OnlyAContainer = 3,
};

// Compares two sizes: the original size stored in a container the key opens (0 for a container
// it does not open), the file size of anything else. 0 when equal; -1 when they differ or a
// size cannot be read.
int SameSize(ContainerChecks& checks, const QString& a, const QString& b, int kind, const QString& keyA,
             const QString& keyB);

// 7 when the container holds this plain file: the same original name, size and modification
// time (as "YYYY/MM/DD hh:mm:ss"); 0 when any of them differs; -1 when the plain file cannot be
// read, the container is no file or its header cannot be read.
int IsIdenticalToContainer(ContainerChecks& checks, const QString& plainFile, const QString& container,
                           const QString& key);

// Would copying the tree `source` into `target` overwrite a file? Files are compared under their
// own names, or with useOriginalNames 1 under the original names stored in the containers the
// key opens (other files have no such name and cannot collide; a file that cannot be read, or a
// stored name that is no single file name, ends the check with -1 and that file's path). With sameTime 1 an
// existing file with the same last-write time is no collision (A-268/A-269 when a time cannot be read). A
// collision hands back the source file's path (its name with sameTime 1), -1; 0 when nothing collides.
int CheckTreeCollisions(ContainerChecks& checks, const QString& source, const QString& target,
                        int useOriginalNames, int sameTime, const QString& key, QString* offending);
