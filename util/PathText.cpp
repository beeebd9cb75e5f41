#include "util/PathText.h"

#include "util/ResultCodes.h"

#include <QFile>
#include <QtGlobal>

namespace {

constexpr qsizetype MaxSplitLength = 512;

QString withSeparator(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

Qt::CaseSensitivity PathCaseSensitivity()
{
    return Qt::CaseSensitive;
}

bool PathIsInside(const QString& inner, const QString& outer)
{
    return withSeparator(inner).startsWith(withSeparator(outer), PathCaseSensitivity());
}

bool SamePath(const QString& a, const QString& b)
{
    return withSeparator(a).compare(withSeparator(b), PathCaseSensitivity()) == 0;
}

QString FileNamePart(const QString& path)
{
    const qsizetype at = path.lastIndexOf(QLatin1Char('/'));
    return at < 0 ? path : path.mid(at + 1);
}

QString DirectoryPart(const QString& path)
{
    const qsizetype at = path.lastIndexOf(QLatin1Char('/'));
    return at < 0 ? path : path.left(at);
}

QString FileTitle(const QString& path)
{
    const QString name = FileNamePart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString SplitPath(const QString& path, int piece)
{
    if (path.size() > MaxSplitLength) {
        return {};
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    switch (static_cast<PathPiece>(piece)) {
    case PathPiece::Drive:
        return {};
    case PathPiece::Directory:
        return path.left(slash + 1);
    case PathPiece::BaseName:
        return dot < 0 ? name : name.left(dot);
    case PathPiece::Extension:
        return dot < 0 ? QString() : name.mid(dot + 1).remove(QLatin1Char('.'));
    }
    return {};
}

int PathIsValid(const QString& path)
{
    return !path.isEmpty() && path.size() <= MaxSplitLength && !path.contains(QChar(u'\0')) ? 0 : -1;
}

int PathsOverlap(const QString& a, const QString& b)
{
    const QString& shorter = a.size() <= b.size() ? a : b;
    const QString& longer = a.size() <= b.size() ? b : a;
    return longer.startsWith(shorter, PathCaseSensitivity()) ? 0 : -1;
}

int PathStartsWith(const QString& prefix, const QString& path)
{
    return path.startsWith(prefix, PathCaseSensitivity()) ? 0 : -1;
}

int PathRelation(const QString& source, const QString& target, int* kind)
{
    int relation = PathsUnrelated;
    if (SamePath(source, target)) {
        relation = PathsSame;
    } else if (PathIsInside(target, source)) {
        relation = TargetInsideSource;
    } else if (SamePath(DirectoryPart(source), target) && source.contains(QLatin1Char('/'))) {
        relation = TargetHoldsSource;
    }
    if (kind) {
        *kind = relation;
    }
    return relation == PathsUnrelated ? 0 : -1;
}

bool IsSingleFileName(const QString& name)
{
    constexpr qsizetype MaxFileNameBytes = 255;
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0')) &&
           QFile::encodeName(name).size() <= MaxFileNameBytes;
}

int SameNameOrWithExtension(const QString& a, const QString& b)
{
    if (a == b) {
        return 0;
    }
    const qsizetype dot = b.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return Result::Failed;
    }
    return b == a + QLatin1Char('.') + b.mid(dot + 1) ? 0 : -1;
}

QString ExpandEnvironmentPath(const QString& path)
{
    QString result = path;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = result.indexOf(QLatin1Char('%'), from);
        const qsizetype close = open < 0 ? -1 : result.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0) {
            return result;
        }
        const QString name = result.mid(open + 1, close - open - 1);
        const QString value = qEnvironmentVariable(name.toLocal8Bit().constData());
        result.replace(open, close - open + 1, value);
        from = open + value.size(); // a value is not expanded again
    }
}
