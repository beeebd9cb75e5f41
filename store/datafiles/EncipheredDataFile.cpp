#include "store/datafiles/EncipheredDataFile.h"

#include "engine/CryptEngine.h"
#include "store/datafiles/WholeFileSave.h"
#include "util/FileChanges.h"
#include "util/FileQueries.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/ResultCodes.h"
#include "util/SecureWipe.h"

#include <QDir>

namespace {

void showFailure(int message, const QString& cause, const QString& path)
{
    ShowMessage(MsgA(message) + cause + QLatin1Char('\n') + QDir::toNativeSeparators(path),
                MessageStyle::error());
}

} // namespace

int SaveDataFile(CryptEngine& engine, const QString& path, const DataFileMessages& messages,
                 QByteArray& plain)
{
    const int rc = engine.EncipherWithIntrinsicKey(plain.data(), plain.size());
    if (rc != 0) {
        SecureWipe(plain);
        return Result::Failed;
    }
    QString error;
    const int saved = SaveWholeFile(path, plain, &error);
    SecureWipe(plain);
    if (saved != 0) {
        showFailure(messages.saveFailed, error, path);
        return Result::Failed;
    }
    return 0;
}
