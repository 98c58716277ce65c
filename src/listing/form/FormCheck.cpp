#include "listing/form/FormCheck.h"

#include <QHash>

#include "listing/form/MirrorTable.h"

namespace listing {

QString caption(const QString& control) {
    // A check box by the pane's own caption; the title and description by theirs; every other
    // field by the meaning the mirror table gives it, which is how the pane names it too.
    for (const CheckBox& box : checkBoxes())
        if (box.name == control) return box.caption;
    if (control == QLatin1String("txtTitle")) return QStringLiteral("タイトル");
    if (control == QLatin1String("txtDescription")) return QStringLiteral("説明");
    if (const Mirror* m = findMirror(control)) return m->meaning;
    return control;
}

FormCheck checkForm(const QList<QPair<QString, Reach>>& pushed) {
    FormCheck check;
    // A control pushed twice (the eye-catch icon) counts as reached if either write was.
    QStringList order;
    QHash<QString, Reach> worst;
    for (const auto& [control, reach] : pushed) {
        if (reach == Reach::Reached) check.formPage = true;
        if (!worst.contains(control)) {
            order << control;
            worst.insert(control, reach);
        } else if (reach == Reach::Reached) {
            worst.insert(control, reach);
        }
    }
    if (!check.formPage) return check;
    for (const QString& control : order)
        if (worst.value(control) != Reach::Reached) {
            check.notReached << control;
            check.why << worst.value(control);
        }
    return check;
}

QStringList formCheckLines(const FormCheck& check) {
    QStringList lines;
    for (int i = 0; i < check.notReached.size(); ++i)
        lines << caption(check.notReached[i]) + (check.why.value(i) == Reach::NoAnswer ? QStringLiteral("：ページが応答しませんでした")
                                                                                       : QStringLiteral("：ページに項目がありません"));
    return lines;
}

}  // namespace listing
