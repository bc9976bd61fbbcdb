#include "app/large_heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>

namespace vantrel {

namespace {
constexpr uint64_t kLargeInput = 64u << 10;
constexpr uintptr_t kHugePage = 2u << 20;
// A source line takes some tens of bytes of text and a few hundred in
// objects: a growth step of 32 times the input is rarely passed.
constexpr uint64_t kGrowthPerInputByte = 32;
constexpr uint64_t kMaxStep = 512u << 20;
}  // namespace

void PrepareHeapFor(uint64_t input_bytes) {
  if (input_bytes < kLargeInput) return;
  const uint64_t step = input_bytes * kGrowthPerInputByte < kMaxStep ? input_bytes * kGrowthPerInputByte : kMaxStep;
  mallopt(M_TOP_PAD, static_cast<int>(step));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(step));
  // Blocks up to this size come from the heap, which keeps it one region.
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  // One allocation larger than what is left makes the heap grow by the step now.
  void* probe = std::malloc(1u << 20);
  if (probe == nullptr) return;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(probe) + kHugePage - 1) & ~(kHugePage - 1);
  const auto end = reinterpret_cast<uintptr_t>(sbrk(0));
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  std::free(probe);
}

}  // namespace vantrel
