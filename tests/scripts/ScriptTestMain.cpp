// Every test of this binary sees the designer's functions as the program has them.
#include "ScriptTestSupport.h"

namespace {

[[maybe_unused]] testing::Environment *const installed
    = testing::AddGlobalTestEnvironment(new ScriptTest::Installed);

} // namespace
