#include "frame/WindowUtilities.h"

#include "util/ResultCodes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

int ClearClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return Result::Failed;
    }
    clipboard->clear();
    return 0;
}

void TurnImeOff(QWidget* widget)
{
    if (widget) {
        widget->setAttribute(Qt::WA_InputMethodEnabled, false);
        widget->setInputMethodHints(widget->inputMethodHints() | Qt::ImhHiddenText | Qt::ImhSensitiveData |
                                    Qt::ImhNoPredictiveText);
    }
}

int WindowBorderWidth(const QWidget* window)
{
    return window ? (window->frameGeometry().width() - window->width()) / 2 : 0;
}
