#pragma once

#include <QString>

namespace klavoro {

struct Settings;

// The number text the exports put before a step's sentence, by `no format`,
// `no period`, `no wide` and `no char`.
QString stepNumberText(int number, const Settings& settings);

// Half-width ASCII (and the blank) to the full-width forms.
QString toFullWidth(const QString& text);

} // namespace klavoro
