#include "app/entry.h"

namespace vantrel {

int Entry(int, char**) { return -1; }

}  // namespace vantrel
