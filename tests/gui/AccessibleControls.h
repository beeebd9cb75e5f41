#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QHeaderView>
#include <QRegularExpression>
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

// A text a Japanese user would read as English: Latin letters outside the access key marks
// "(&X)" (read as "(X)" once the "&" is gone) and the shortcut after a tab. "OK" reads the same
// in Japanese; the program's own name and its own word for its inside clipboard (the
// "（inside）" of the cut and copy entries) are its names.
inline bool ReadsEnglish(const QString& text)
{
    QString words = text.section(QLatin1Char('\t'), 0, 0);
    words.remove(QRegularExpression(QStringLiteral("\\(&?[A-Za-z0-9]\\)")));
    words.remove(QStringLiteral("OK"));
    words.remove(QStringLiteral("Kurabox"));
    words.remove(QStringLiteral("（inside）"));
    return words.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

// What a screen reader finds wrong below `root` in the accessibility tree, hidden objects
// included (a reader walks them too): a control without a name, and any name or description
// that reads English. Each as "role: name" or "role: (no name)".
inline QStringList AccessibilityTreeProblems(QWidget* root)
{
    static const QList<QAccessible::Role> controls = {
        QAccessible::PushButton, QAccessible::CheckBox,       QAccessible::RadioButton,
        QAccessible::ComboBox,   QAccessible::EditableText,   QAccessible::SpinBox,
        QAccessible::ButtonMenu, QAccessible::ButtonDropDown, QAccessible::PageTab,
        QAccessible::MenuItem,   QAccessible::List,           QAccessible::Tree,
        QAccessible::Table,      QAccessible::ToolBar,        QAccessible::PopupMenu};
    QStringList problems;
    QList<QAccessibleInterface*> pending = {QAccessible::queryAccessibleInterface(root)};
    while (!pending.isEmpty()) {
        QAccessibleInterface* face = pending.takeFirst();
        if (!face || !face->isValid()) {
            continue;
        }
        const QString role = QString::number(int(face->role()), 16);
        const QString name = face->text(QAccessible::Name).trimmed();
        const bool separator = face->role() == QAccessible::Separator;
        if (name.isEmpty() && !separator && controls.contains(face->role())) {
            problems << role + QStringLiteral(": (no name)");
        }
        for (const QString& text : {name, face->text(QAccessible::Description)}) {
            if (ReadsEnglish(text)) {
                problems << role + QStringLiteral(": ") + text;
            }
        }
        for (int i = 0; i < face->childCount(); ++i) {
            pending << face->child(i);
        }
    }
    return problems;
}

// Whether a screen reader walking down the accessibility tree from `root` reaches `target`.
inline bool InAccessibilityTree(QWidget* root, const QObject* target)
{
    QList<QAccessibleInterface*> pending = {QAccessible::queryAccessibleInterface(root)};
    for (int visited = 0; !pending.isEmpty() && visited < 100000; ++visited) {
        QAccessibleInterface* face = pending.takeFirst();
        if (!face || !face->isValid()) {
            continue;
        }
        if (face->object() == target) {
            return true;
        }
        for (int i = 0; i < face->childCount(); ++i) {
            pending << face->child(i);
        }
    }
    return false;
}
