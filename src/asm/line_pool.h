// asm/line_pool.h: storage for the objects an assembly makes one or more
// of for each source line (lines, operands of pseudo-op lists).
#pragma once

#include <cstddef>

namespace vantrel {

// Lines are made by the hundred thousand and mostly live for the whole
// assembly: carving them from large blocks by 8-byte size class saves
// malloc's header and its rounding to 16 (a label takes 40 bytes, not 48).
// A freed place goes to the next object of its size.
void* PoolAllocate(size_t size);
void PoolFree(void* object, size_t size);

}  // namespace vantrel
