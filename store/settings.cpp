#include "store/settings.h"

namespace klavoro {

Settings& conf() {
    static Settings s;
    return s;
}

} // namespace klavoro
