#include "cloudlog.h"

namespace tessaro {

Q_LOGGING_CATEGORY(lcCloud, "tessaro.cloud")

} // namespace tessaro
