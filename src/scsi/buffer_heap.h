// Where the NT buffer commands get their 2048-byte data buffer.
//
// Each command takes one block from the heap and gives it back before it
// returns. Going through this interface lets a failed allocation (which
// the program answers with a message box) be provoked, and lets every
// block be accounted for.
#pragma once

#include <cstddef>

namespace td {

class BufferHeap {
public:
    virtual ~BufferHeap() = default;
    // A block of `size` bytes, or nullptr when there is no memory.
    virtual void* Allocate(std::size_t size) = 0;
    virtual void Free(void* block) = 0;
};

// The process heap (operator new without exceptions).
BufferHeap& ProcessHeap();

}  // namespace td
