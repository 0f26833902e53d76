#include "tavex/Version.h"

namespace tavex {
const char* Version() { return "1.0.0"; }
}
