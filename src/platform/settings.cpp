#include "platform/settings.h"

namespace zenvik {

ProgramSettings defaultSettings(const Text& baseDirectory) {
    return ProgramSettings{baseDirectory, ZENVIK_SHOP_HOST, ZENVIK_SHOP_UTKN, ZENVIK_HOME_URL};
}

} // namespace zenvik
