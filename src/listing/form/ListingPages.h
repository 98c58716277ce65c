#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class FeeSummary;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QWidget;

// The listing's options on the two pages the seller fills in (商品情報, オプション), each page
// scrolling; every mirrored control registered by its object name, an option group by its
// array name. The pages belong to whatever they are added to.
class ListingPages {
public:
    ListingPages();

    QWidget* goods = nullptr;
    QWidget* options = nullptr;
    QMap<QString, QWidget*> controls;
    QMap<QString, QList<QRadioButton*>> optionGroups;
    QLineEdit* title = nullptr;
    QPlainTextEdit* description = nullptr;
    QLabel* titleBytes = nullptr;  // Label18
    FeeSummary* fees = nullptr;

private:
    QWidget* buildGoods();
    QWidget* buildOptions();
    QCheckBox* check(const QString& name);
    QComboBox* list(const QString& name, const QStringList& items);
    QLineEdit* number(const QString& name);
    QWidget* checkFrame(const QString& caption, const QString& objectName, const QStringList& names, int columns);
    QWidget* optionFrame(const QString& caption, const QString& array, const QString& first, const QString& second);
};
