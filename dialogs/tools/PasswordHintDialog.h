#pragma once

#include "dialogs/common/OpeningDialog.h"

#include <QStringList>

#include <functional>

class ContainerCrypt;
class QLabel;

// The hint window: an encrypted file dropped on its area, or chosen with its file chooser, shows
// the password hint it carries; any other file, a folder or more than one file are told apart
// (DroppedFileHint's messages).
class PasswordHintDialog : public OpeningDialog
{
public:
    static constexpr int DropAreaId = 64008;

    explicit PasswordHintDialog(QWidget* parent = nullptr);

    // Reads the headers of dropped files; none: drops are not taken.
    ContainerCrypt* crypt = nullptr;

    // Makes the drop area (in hint mode) with the given text; without it the area is a
    // FileDropArea whose drops show their hints in it.
    std::function<QWidget*(const QString& text, QWidget* parent)> makeDropArea;

    QWidget* dropArea() const { return m_dropArea; }

    // Shows what the window has to say about these dropped files in the drop area.
    void showDropped(const QStringList& paths);

protected:
    bool initDialog() override;

private:
    void chooseFile();

    QLabel* m_text;
    QWidget* m_dropArea = nullptr;
};
