#include "platform/widgets/ScaledIndicatorStyle.h"

#include <cmath>

int ScaledIndicatorStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                      const QWidget* widget) const {
    const int base = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_RadioButtonLabelSpacing:
        case PM_CheckBoxLabelSpacing:
            return std::max(1, static_cast<int>(std::lround(base * m_factor)));
        default:
            return base;
    }
}
