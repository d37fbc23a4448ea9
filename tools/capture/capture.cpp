// nordglow-capture (not built yet).
#include "capture/capture.h"

namespace capture {
int runCapture(const std::vector<std::string>&) { return 0; }
}
