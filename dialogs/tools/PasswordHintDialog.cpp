#include "dialogs/tools/PasswordHintDialog.h"

#include "dialogs/tools/FileDropArea.h"
#include "operations/tools/ContainerHint.h"
#include "util/MessageText.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PasswordHintDialog::PasswordHintDialog(QWidget* parent) : OpeningDialog(parent), m_text(new QLabel)
{
    setWindowTitle(QStringLiteral("ヒント確認ウィンドウ"));
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setWordWrap(true);
    m_text->setFixedWidth(480);
}

bool PasswordHintDialog::initDialog()
{
    m_text->setText(QStringLiteral("Kurabox") + MsgA(541));
    const QString areaText = MsgA(542);
    if (makeDropArea) {
        m_dropArea = makeDropArea(areaText, this);
    } else {
        auto* area = new FileDropArea(areaText, this);
        area->setAcceptDrops(crypt != nullptr);
        connect(area, &FileDropArea::filesDropped, this, &PasswordHintDialog::showDropped);
        m_dropArea = area;
    }
    m_dropArea->setObjectName(QStringLiteral("dropArea"));
    m_dropArea->setAccessibleName(QStringLiteral("ヒントを確認する暗号ファイルのドロップ先"));
    m_dropArea->setAccessibleDescription(areaText);
    // Tab reaches the area, so that a screen reader reads the hint it shows.
    m_dropArea->setFocusPolicy(Qt::TabFocus);
    // Room for the framed hint of 48 characters on a few lines.
    m_dropArea->setFixedSize(260, 110);
    // The way in without dragging: the file chooser.
    auto* choose = new QPushButton(QStringLiteral("ファイルを選択(&F)..."));
    choose->setObjectName(QStringLiteral("chooseButton"));
    choose->setEnabled(crypt != nullptr);
    connect(choose, &QPushButton::clicked, this, &PasswordHintDialog::chooseFile);
    auto* close = new QPushButton(QStringLiteral("閉じる"));
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addSpacing(10);
    layout->addWidget(m_dropArea, 0, Qt::AlignHCenter);
    layout->addSpacing(10);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(choose);
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);
    m_dropArea->raise();
    fitToContents();
    return true;
}

void PasswordHintDialog::showDropped(const QStringList& paths)
{
    auto* area = qobject_cast<QLabel*>(m_dropArea);
    QString text;
    if (!crypt || !area || DroppedFileHint(*crypt, paths, &text) != 0) {
        return;
    }
    area->setText(text);
    // A screen reader hears what is shown, not the fixed texts of the empty area.
    area->setAccessibleName(text);
    area->setAccessibleDescription(text);
}

void PasswordHintDialog::chooseFile()
{
    QFileDialog chooser(this, QStringLiteral("ヒントを確認するファイルの選択"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters(
        {QStringLiteral("暗号ファイル (*.kbxf *.kbxf2)"), QStringLiteral("すべてのファイル (*)")});
    if (chooser.exec() == QDialog::Accepted && !chooser.selectedFiles().isEmpty()) {
        showDropped({chooser.selectedFiles().first()});
    }
}
