#pragma once

#include <QString>
#include <optional>

namespace port {

// A data register bit as Ventrolo.ini names it: "D3".
QString DataBitText(int bit);
// 3 for "D3", "d3" or "3"; nullopt for anything else, a bit above 7 included.
std::optional<int> DataBitFromText(const QString& text);

} // namespace port
