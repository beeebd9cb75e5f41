#pragma once

#include <QString>

// Path texts, without file-system access. Paths use "/" and carry no trailing separator.
//
// The prefix relation: `inner` lies in `outer` when outer + "/" begins inner + "/". Paths
// compare by the platform's file-name rule, which on Linux is exact (case-sensitive).

Qt::CaseSensitivity PathCaseSensitivity();
bool PathIsInside(const QString& inner, const QString& outer); // equal paths count as inside
bool SamePath(const QString& a, const QString& b);

// The text after the last "/"; the whole path when there is none.
QString FileNamePart(const QString& path);
// The text before the last "/"; the whole path when there is none.
QString DirectoryPart(const QString& path);
// FileNamePart cut at its last "."; the whole name when it has none.
QString FileTitle(const QString& path);

enum class PathPiece
{
    Drive = 0,     // always empty: Linux paths have no drive letters
    Directory = 1, // with its trailing "/"
    BaseName = 2,  // the file name without its extension
    Extension = 3, // without any "."
};
// One piece of a path of at most 512 characters; an empty text for a longer path or another piece.
QString SplitPath(const QString& path, int piece);

// 0 when the path is not empty and can be split; -1 otherwise.
int PathIsValid(const QString& path);
// 0 when the shorter path equals the start of the longer (a plain text prefix: /a/Work and
// /a/WorkFolder overlap); -1 otherwise.
int PathsOverlap(const QString& a, const QString& b);
// 0 when path begins with prefix; -1 otherwise.
int PathStartsWith(const QString& prefix, const QString& path);

enum PathRelationKind
{
    PathsUnrelated = 0,
    PathsSame = 1,
    TargetHoldsSource = 2, // the target is the folder that directly holds the source
    TargetInsideSource = 3,
};
// -1 with the kind when a copy or move of source into target would land on itself, inside
// itself or where it already is; 0 with PathsUnrelated otherwise.
int PathRelation(const QString& source, const QString& target, int* kind = nullptr);

// Whether a name read from a file (a container's stored name, for instance) can be used as one
// file name in a folder: not empty, not "." or "..", no "/" or NUL, at most 255 bytes. A name
// that fails would write elsewhere than the folder chosen.
bool IsSingleFileName(const QString& name);

// 0 when b equals a, or b has an extension and equals a + "." + that extension; -1 otherwise.
int SameNameOrWithExtension(const QString& a, const QString& b);
// Replaces every %NAME% by the environment variable NAME (empty when undefined), left to right.
QString ExpandEnvironmentPath(const QString& path);
