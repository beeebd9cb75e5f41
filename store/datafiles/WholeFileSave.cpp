#include "store/datafiles/WholeFileSave.h"

#include "util/ErrorText.h"
#include "util/FileReplace.h"
#include "util/ResultCodes.h"

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
    return Result::Failed;
}

} // namespace

void SetSaveFailureForTesting(SaveFailurePredicate fails)
{
    failurePredicate() = std::move(fails);
}

int SaveWholeFile(const QString& path, const QByteArray& data, QString* errorText)
{
    const SaveFailurePredicate& fails = failurePredicate();
    const qint64 writeLimit = fails && fails(path) ? data.size() / 2 : -1;
    int error = 0;
    if (ReplaceWholeFile(path, data, &error, writeLimit) != 0) {
        return fail(errorText, error);
    }
    return 0;
}
