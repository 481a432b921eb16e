#include "port/DataBitText.h"

namespace port {

QString DataBitText(int bit) {
    return QStringLiteral("D%1").arg(bit);
}

std::optional<int> DataBitFromText(const QString& text) {
    QString t = text.trimmed().toUpper();
    if (t.startsWith(QLatin1Char('D')))
        t.remove(0, 1);
    bool ok = false;
    const int bit = t.toInt(&ok);
    if (!ok || bit < 0 || bit > 7)
        return std::nullopt;
    return bit;
}

} // namespace port
