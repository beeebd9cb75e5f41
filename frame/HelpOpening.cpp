#include "frame/HelpOpening.h"

#include "platform/AppAssociations.h"
#include "util/MessageService.h"
#include "util/ResultCodes.h"

#include <QUrl>

int OpenManual(const QString& manualPath)
{
    const QString missing = QStringLiteral("ヘルプが見つかりません　");
    if (manualPath.isEmpty()) {
        ShowMessage(missing, MessageStyle::warning());
        return Result::Failed;
    }
    if (!OpenWithDefaultProgram(QUrl::fromLocalFile(manualPath))) {
        ShowMessage(missing + QStringLiteral("\n\n") + manualPath, MessageStyle::warning());
        return Result::Failed;
    }
    return Result::Ok;
}

int OpenHomePage(const QString& address)
{
    if (!OpenWithDefaultProgram(QUrl(address))) {
        ShowMessage(QStringLiteral("ホームページを開くプログラムが見つかりません。\nブラウザーで次のアドレス"
                                   "を開いてください。\n\n") +
                        address,
                    MessageStyle::warning());
        return Result::Failed;
    }
    return Result::Ok;
}
