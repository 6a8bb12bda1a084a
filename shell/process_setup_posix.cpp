#include "shell/process_setup.h"

namespace vtl {

void PrepareProcess() {}

} // namespace vtl
