#pragma once
// What the window tests use: Qt, the simulated station, the shown windows of a kind, a list's
// lines.
#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <vector>

#include "core/windows/WindowRegistry.h"
#include "core/windows/mnuMenu.h"
#include "support/Builders.h"
#include "support/SimStation.h"

template <typename T>
std::vector<T*> Shown() {
    std::vector<T*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* v = qobject_cast<T*>(w); v && v->isVisible()) out.push_back(v);
    return out;
}

inline QStringList Lines(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}
