// The GDI objects the calling process holds, counted in its own GDI handle
// table. Wine 8 answers GetGuiResources with 0, so this is the count the
// in-process tests and the probe inside the program (for the soak) use.
//
// Wine gives every process its own GDI handle table and accepts a handle's
// table index alone (upper word 0) for the object at that index, so asking
// about every index finds every live object once. Elsewhere the count may
// come out 0: callers treat 0 as "could not be counted". It allocates
// nothing, so that the figure is the process's own.
#pragma once

#include <windows.h>

#include <cstdint>

namespace td::test {

// The live GDI objects; with `by_kind` (16 counters, indexed by
// GetObjectType's OBJ_ value), each kind counted there too.
inline std::uint32_t CountOwnGdiObjects(std::uint32_t* by_kind = nullptr) {
    constexpr UINT kGdiTableSize = 0x10000;
    std::uint32_t objects = 0;
    for (UINT index = 0; index < kGdiTableSize; ++index) {
        const DWORD kind = GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(index)));
        if (kind == 0) continue;
        ++objects;
        if (by_kind != nullptr && kind < 16) ++by_kind[kind];
    }
    return objects;
}

}  // namespace td::test
