#pragma once
// The toolkit's own look with the classic dialog's small check marks: 13
// pixel indicators and a 4 pixel gap before the text, so option and check
// captions fit boxes drawn for them.
#include <QProxyStyle>

namespace vlmr {

class ClassicMetrics : public QProxyStyle {
public:
    ClassicMetrics();
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
};

}  // namespace vlmr
