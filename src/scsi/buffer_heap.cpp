#include "scsi/buffer_heap.h"

#include <new>

namespace td {
namespace {

class NothrowHeap final : public BufferHeap {
public:
    void* Allocate(std::size_t size) override { return ::operator new(size, std::nothrow); }
    void Free(void* block) override { ::operator delete(block); }
};

}  // namespace

BufferHeap& ProcessHeap() {
    static NothrowHeap heap;
    return heap;
}

}  // namespace td
