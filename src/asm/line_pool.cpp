#include "asm/asm_instr.h"

#include <new>

namespace vantrel {

namespace {

// Lines are made by the hundred thousand and mostly live for the whole
// assembly: carving them from large blocks by 8-byte size class saves
// malloc's header and its rounding to 16 (a label takes 48 bytes, not 64).
// A freed line's place goes to the next line of its size. The blocks are
// never handed back, so nothing here needs a destructor that could run
// before the last line is freed.
constexpr size_t kGrain = 8;
constexpr size_t kClasses = 32;  // up to 248 bytes; larger lines go to the heap
constexpr size_t kBlock = size_t{64} << 10;

struct LinePool {
  void* free[kClasses];
  char* next;
  size_t left;
};
constinit LinePool pool{};

}  // namespace

void* AsmInstr::operator new(size_t size) {
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

void AsmInstr::operator delete(void* line, size_t size) {
  const size_t grains = (size + kGrain - 1) / kGrain;
  if (grains >= kClasses) return ::operator delete(line);
  *static_cast<void**>(line) = pool.free[grains];
  pool.free[grains] = line;
}

}  // namespace vantrel
