#include "app/MainPlacement.h"

#include "settings/IniFile.h"

namespace MainPlacement {
namespace {
const QString kLeft = QStringLiteral("左"), kTop = QStringLiteral("上"), kWidth = QStringLiteral("幅"), kHeight = QStringLiteral("高さ"),
              kMaximized = QStringLiteral("最大化");
}

std::optional<Placement> read(const IniFile& settings) {
    bool ok[4] = {};
    const int left = settings.value(kSection, kLeft).toInt(&ok[0]);
    const int top = settings.value(kSection, kTop).toInt(&ok[1]);
    const int width = settings.value(kSection, kWidth).toInt(&ok[2]);
    const int height = settings.value(kSection, kHeight).toInt(&ok[3]);
    if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || width < 100 || height < 100) return std::nullopt;
    return Placement{QRect(left, top, width, height), settings.value(kSection, kMaximized) == QLatin1String("1")};
}

void write(IniFile& settings, const Placement& placement) {
    settings.setValue(kSection, kLeft, QString::number(placement.normal.left()));
    settings.setValue(kSection, kTop, QString::number(placement.normal.top()));
    settings.setValue(kSection, kWidth, QString::number(placement.normal.width()));
    settings.setValue(kSection, kHeight, QString::number(placement.normal.height()));
    settings.setValue(kSection, kMaximized, placement.maximized ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace MainPlacement
