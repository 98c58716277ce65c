#pragma once

#include <QString>
#include <QWidget>

// A control with the name the program knows it by (and its tooltip), as the
// panes build them: named(new QLineEdit, "txtID").
template <typename W>
W* named(W* widget, const QString& objectName, const QString& toolTip = QString()) {
    widget->setObjectName(objectName);
    if (!toolTip.isEmpty()) widget->setToolTip(toolTip);
    return widget;
}
