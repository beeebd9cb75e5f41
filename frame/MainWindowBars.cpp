// The window's menus, toolbar and status bar, and the status text that follows the busy state.

#include "dialogs/common/AboutDialog.h"
#include "dialogs/confirmation/StillDecryptedDialog.h"
#include "engine/ContainerCrypt.h"
#include "engine/CryptEngine.h"
#include "frame/BusyAnimation.h"
#include "frame/IdleUpdates.h"
#include "frame/MainWindow.h"
#include "frame/ToolbarIcons.h"
#include "frame/commands/CommandTable.h"
#include "frame/tree/FolderTreeView.h"
#include "store/datafiles/RegisteredFolderTable.h"
#include "store/working/DecryptedCopies.h"
#include "util/MainWindowServices.h"
#include "util/MessageService.h"
#include "util/MessageText.h"
#include "util/StringTable.h"
#include "views/contents/ContentsMenus.h"
#include "views/contents/ContentsView.h"
#include "views/decrypted/DecryptedFilesView.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimerEvent>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr unsigned IdleText = 57345;
constexpr int StatusTimerMs = 100;

} // namespace

void MainWindow::buildMenus()
{
    const QList<QString> titles = TopLevelMenus();
    for (const QString& title : titles) {
        QMenu* menu = menuBar()->addMenu(title);
        // The open menu is read by its title, as its entry in the bar is.
        menu->setAccessibleName(QString(title).remove(QLatin1Char('&')));
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommandStates);
        m_menus.append(menu);
    }
    for (const CommandEntry& entry : MenuCommands()) {
        QMenu* menu = m_menus.at(entry.menu);
        if (entry.id == Command::Separator) {
            menu->addSeparator();
            continue;
        }
        const QString text = entry.text.section(QLatin1Char('\t'), 0, 0);
        const QString shortcut = entry.text.section(QLatin1Char('\t'), 1);
        QAction* action = menu->addAction(text);
        action->setData(entry.id);
        if (!shortcut.isEmpty()) {
            action->setShortcut(QKeySequence(shortcut));
        }
        action->setCheckable(entry.checkable);
        connect(action, &QAction::triggered, this, [this, id = entry.id] { runCommand(id); });
        m_actions.insert(entry.id, action);
    }
}

void MainWindow::buildToolbar()
{
    m_toolbar = addToolBar(QStringLiteral("ツールバー"));
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    // The button that shows the buttons a narrow window has no room for.
    if (auto* more = m_toolbar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"))) {
        more->setAccessibleName(QStringLiteral("その他のボタン"));
        more->setToolTip(QStringLiteral("その他のボタン"));
    }
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int id : ToolbarCommands()) {
        if (id == Command::Separator) {
            m_toolbar->addSeparator();
            continue;
        }
        QAction* action = m_actions.value(id);
        if (!action) {
            // Commands without a menu item live on the toolbar alone.
            action = new QAction(ToolbarTip(id), this);
            action->setData(id);
            connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
            m_actions.insert(id, action);
        }
        action->setToolTip(ToolbarTip(id));
        action->setIcon(ToolbarIcon(id));
        m_toolbar->addAction(action);
        // The buttons show only their pictures; a screen reader reads the command instead.
        m_toolbar->widgetForAction(action)->setAccessibleName(ToolbarTip(id));
    }
}

void MainWindow::buildStatusBar()
{
    // Pane 0 takes the texts, 1 is a spacer, 2 holds the busy animation, 3 a spacer.
    const QStringList widths = {QString(), QStringLiteral("　　　"), QStringLiteral("　　 "),
                                QString(13, QChar(0x3000))};
    for (int i = 0; i < widths.size(); ++i) {
        auto* pane = new QLabel(this);
        pane->setObjectName(QStringLiteral("statusPane%1").arg(i));
        if (i == 0) {
            statusBar()->addWidget(pane, 1);
        } else {
            pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(widths.at(i)));
            statusBar()->addPermanentWidget(pane);
        }
        m_panes.append(pane);
    }
    m_panes.at(2)->setPixmap(BusyAnimation::frame(0));
}

QLabel* MainWindow::statusPane(int index) const
{
    return m_panes.value(index);
}

void MainWindow::onBusyChanged(bool busy)
{
    for (QMenu* menu : m_menus) {
        menu->menuAction()->setEnabled(!busy);
    }
    m_frame = busy ? 2 : 0;
    m_panes.at(2)->setPixmap(BusyAnimation::frame(m_frame));
    // The timer animates the busy state; at rest nothing runs on a timer.
    if (busy && !MainWindowServices::instance().ShutdownRequested()) {
        m_statusTimer.start(StatusTimerMs, this);
    } else if (!busy) {
        m_statusTimer.stop();
        m_panes.at(0)->clear();
        if (m_idle) {
            m_idle->schedule();
        }
    }
    updateCommandStates();
}

void MainWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_statusTimer.timerId()) {
        QMainWindow::timerEvent(event);
        return;
    }
    MainWindowServices& services = MainWindowServices::instance();
    services.enterTimerHandler();
    busyTick();
    services.leaveTimerHandler();
}

void MainWindow::busyTick()
{
    MainWindowServices& services = MainWindowServices::instance();
    QLabel* text = m_panes.at(0);
    if (!services.IsBusy()) {
        return;
    }
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_panes.at(2)->setPixmap(BusyAnimation::frame(0));
        text->clear();
        return;
    }
    m_frame = m_frame >= BusyAnimation::FrameCount - 1 ? 1 : m_frame + 1;
    m_panes.at(2)->setPixmap(BusyAnimation::frame(m_frame));
    text->setText(services.busyText().isEmpty() ? MsgA(638) : services.busyText());
}

void MainWindow::idleUpdate()
{
    if (MainWindowServices::instance().IsBusy()) {
        return; // the end of the busy state asks again
    }
    QLabel* text = m_panes.at(0);
    const QString current = text->text();
    if (current == LoadText(IdleText) || current.isEmpty() || current == m_lastIdleText) {
        const QString idle = m_contents->ContentsStatusText();
        if (idle != current) {
            text->setText(idle);
        }
        m_lastIdleText = idle;
    }
    updateCommandStates();
}
