#include "dialogs/confirmation/CopyProgressWindow.h"

#include "util/MainWindowServices.h"

#include <QProgressDialog>

#include <algorithm>

namespace {

constexpr int Steps = 1000; // the bar's scale: byte counts do not fit its int range

} // namespace

CopyProgressWindow::CopyProgressWindow(QWidget* owner, const QString& title)
    : m_dialog(new QProgressDialog(owner))
{
    m_dialog->setObjectName(QStringLiteral("copyProgress"));
    m_dialog->setWindowTitle(title);
    m_dialog->setCancelButtonText(QStringLiteral("中止"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setMinimumWidth(420);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setRange(0, Steps);
    m_dialog->setValue(0);
    MainWindowServices& services = MainWindowServices::instance();
    QObject::connect(m_dialog, &QProgressDialog::canceled, &services, &MainWindowServices::RequestCancel);
    QObject::connect(&services, &MainWindowServices::busyTextChanged, m_dialog, [this](const QString& text) {
        if (!text.isEmpty()) {
            m_dialog->setLabelText(text);
        }
    });
}

CopyProgressWindow::~CopyProgressWindow()
{
    delete m_dialog;
}

void CopyProgressWindow::progress(qint64 done, qint64 total)
{
    const int step = total > 0 ? static_cast<int>(std::clamp<qint64>(done * Steps / total, 0, Steps)) : Steps;
    m_dialog->setValue(step);
}
