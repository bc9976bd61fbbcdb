// app/large_heap.h: lets a large assembly's heap use huge memory pages.
#pragma once

#include <cstdint>

namespace vantrel {

// A run that will hold hundreds of thousands of small objects spends much
// of its time on page faults; with the heap grown in large steps and
// marked for huge pages (where the system offers them) there are far fewer.
// Does nothing for small inputs, so short runs start as fast as before.
void PrepareHeapFor(uint64_t input_bytes);

}  // namespace vantrel
