#include "store/WholeFileSave.h"

#include "util/ErrorText.h"

#include <QSaveFile>

#include <cerrno>

namespace {

SaveFailurePredicate& failurePredicate()
{
    static SaveFailurePredicate predicate;
    return predicate;
}

int fail(QString* errorText, int error)
{
    if (errorText) {
        *errorText = FileExceptionText(FileErrorCauseFromErrno(error));
    }
    return -1;
}

} // namespace

void SetSaveFailureForTesting(SaveFailurePredicate fails)
{
    failurePredicate() = std::move(fails);
}

int SaveWholeFile(const QString& path, const QByteArray& data, QString* errorText)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(errorText, errno ? errno : EACCES);
    }
    const SaveFailurePredicate& fails = failurePredicate();
    if (fails && fails(path)) {
        file.write(data.constData(), data.size() / 2);
        file.cancelWriting();
        return fail(errorText, ENOSPC);
    }
    errno = 0;
    if (file.write(data) != data.size() || !file.commit()) {
        const int error = errno ? errno : EIO;
        file.cancelWriting();
        return fail(errorText, error);
    }
    return 0;
}
