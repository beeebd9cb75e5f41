#pragma once

#include "dialogs/common/OpeningDialog.h"

#include <functional>

class QLabel;

// The hint window: encrypted files dropped on its area show the password hint they carry.
class CD16HintDisp : public OpeningDialog
{
public:
    static constexpr int DropAreaId = 64008;

    explicit CD16HintDisp(QWidget* parent = nullptr);

    // Makes the drop area (in hint mode) with the given text; without it the area is a framed
    // label that shows where to drop.
    std::function<QWidget*(const QString& text, QWidget* parent)> makeDropArea;

    QWidget* dropArea() const { return m_dropArea; }

protected:
    bool initDialog() override;

private:
    QLabel* m_text;
    QWidget* m_dropArea = nullptr;
};
