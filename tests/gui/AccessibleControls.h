#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QHeaderView>
#include <QStringList>
#include <QWidget>

// What a screen reader and a keyboard user meet in a window, for the checks of the GUI tests.

// A control the user works with: anything that takes the focus, a button (toolbar buttons take
// no focus), an item view or a drop target. Viewports belong to their scroll areas, and the
// header of a list is read as the list's column titles.
inline bool IsInteractive(const QWidget* w)
{
    if (auto* area = qobject_cast<const QAbstractScrollArea*>(w->parentWidget());
        area && area->viewport() == w) {
        return false;
    }
    if (qobject_cast<const QHeaderView*>(w) && qobject_cast<const QAbstractItemView*>(w->parentWidget())) {
        return false;
    }
    return (w->focusPolicy() & Qt::TabFocus) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || w->acceptDrops();
}

inline QString AccessibleName(QWidget* w)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

inline QString Describe(const QWidget* w)
{
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
}

// The interactive controls shown in `root` that have no accessible name, as "Class objectName".
inline QStringList UnnamedControls(QWidget* root)
{
    QStringList unnamed;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(root) || !IsInteractive(w)) {
            continue;
        }
        if (AccessibleName(w).isEmpty()) {
            unnamed << Describe(w);
        }
    }
    return unnamed;
}

// The controls Tab reaches in `root`, in the order it reaches them, starting after `root`.
inline QList<QWidget*> TabChain(QWidget* root)
{
    QList<QWidget*> chain;
    for (QWidget* w = root->nextInFocusChain(); w && w != root; w = w->nextInFocusChain()) {
        if (root->isAncestorOf(w) && w->isVisibleTo(root) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            chain << w;
        }
    }
    return chain;
}

// The pairs of the tab chain where Tab goes against reading order: up to an earlier line, or
// left on the same line. Lines are told apart by vertical overlap.
inline QStringList TabStepsAgainstReadingOrder(QWidget* root)
{
    QStringList wrong;
    const QList<QWidget*> chain = TabChain(root);
    for (qsizetype i = 1; i < chain.size(); ++i) {
        const QRect a(chain.at(i - 1)->mapTo(root, QPoint(0, 0)), chain.at(i - 1)->size());
        const QRect b(chain.at(i)->mapTo(root, QPoint(0, 0)), chain.at(i)->size());
        const bool sameLine = b.top() < a.bottom() && a.top() < b.bottom();
        if ((!sameLine && b.top() < a.top()) || (sameLine && b.left() < a.left())) {
            wrong << Describe(chain.at(i - 1)) + QStringLiteral(" -> ") + Describe(chain.at(i));
        }
    }
    return wrong;
}
