#pragma once

#include <QAction>
#include <QList>
#include <QMenu>
#include <QString>

// The item named so (the action's or its menu's object name) among `items` or in their menus,
// as the operator reaches it from the menu bar; null when it is not there.
inline QAction *menuItem(const QList<QAction *> &items, const QString &name) {
    for (QAction *item : items) {
        if (item->objectName() == name || (item->menu() && item->menu()->objectName() == name))
            return item;
        if (item->menu()) {
            if (QAction *inside = menuItem(item->menu()->actions(), name))
                return inside;
        }
    }
    return nullptr;
}
