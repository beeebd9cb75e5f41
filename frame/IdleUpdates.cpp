#include "frame/IdleUpdates.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>

#include <utility>

IdleUpdates::IdleUpdates(std::function<void()> update, QObject* parent)
    : QObject(parent), m_update(std::move(update))
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, [this] { m_update(); });
    connect(qApp, &QApplication::focusChanged, this, &IdleUpdates::schedule);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &IdleUpdates::schedule);
}

void IdleUpdates::follow(QAbstractItemView* view)
{
    QAbstractItemModel* model = view->model();
    connect(model, &QAbstractItemModel::modelReset, this, &IdleUpdates::schedule);
    connect(model, &QAbstractItemModel::layoutChanged, this, &IdleUpdates::schedule);
    connect(model, &QAbstractItemModel::rowsInserted, this, &IdleUpdates::schedule);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &IdleUpdates::schedule);
    connect(model, &QAbstractItemModel::dataChanged, this, &IdleUpdates::schedule);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &IdleUpdates::schedule);
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, &IdleUpdates::schedule);
}

void IdleUpdates::schedule()
{
    if (!m_soon.isActive()) {
        m_soon.start();
    }
}
