#include "description/CopyButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout* copyCancelRow(QDialog* dialog, const std::function<void()>& onCopy) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* copy = new QPushButton(QStringLiteral("変換コピー"));
    copy->setObjectName(QStringLiteral("Command2"));
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    cancel->setObjectName(QStringLiteral("Command3"));
    buttons->addWidget(copy);
    buttons->addWidget(cancel);
    QObject::connect(copy, &QPushButton::clicked, dialog, onCopy);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return buttons;
}
