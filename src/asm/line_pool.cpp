#include "asm/line_pool.h"

#include <new>

namespace vantrel {

namespace {

// The blocks are never handed back, so nothing here needs a destructor
// that could run before the last object is freed.
constexpr size_t kGrain = 8;
constexpr size_t kClasses = 32;  // up to 248 bytes; larger objects go to the heap
constexpr size_t kBlock = size_t{64} << 10;

struct LinePool {
  void* free[kClasses];
  char* next;
  size_t left;
};
constinit LinePool pool{};

}  // namespace

void* PoolAllocate(size_t size) {
  const size_t grains = (size + kGrain - 1) / kGrain;
  if (grains >= kClasses) return ::operator new(size);
  if (void* slot = pool.free[grains]) {
    pool.free[grains] = *static_cast<void**>(slot);
    return slot;
  }
  const size_t bytes = grains * kGrain;
  if (pool.left < bytes) {
    pool.next = static_cast<char*>(::operator new(kBlock));
    pool.left = kBlock;
  }
  void* out = pool.next;
  pool.next += bytes;
  pool.left -= bytes;
  return out;
}

void PoolFree(void* object, size_t size) {
  const size_t grains = (size + kGrain - 1) / kGrain;
  if (grains >= kClasses) return ::operator delete(object);
  *static_cast<void**>(object) = pool.free[grains];
  pool.free[grains] = object;
}

}  // namespace vantrel
