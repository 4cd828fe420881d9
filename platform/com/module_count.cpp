// Counts of live objects and locks (platform/com/module_count.h).

#include "platform/com/module_count.h"

#include <atomic>

namespace com {

namespace {
std::atomic<long> objects{0};
std::atomic<long> locks{0};
}  // namespace

void ObjectCreated() noexcept { ++objects; }
void ObjectDestroyed() noexcept { --objects; }
void LockModule(bool lock) noexcept { lock ? ++locks : --locks; }
long LiveObjects() noexcept { return objects.load(); }
bool CanUnloadModule() noexcept { return objects.load() == 0 && locks.load() == 0; }

}  // namespace com
