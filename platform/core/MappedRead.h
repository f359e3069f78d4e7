#pragma once
// Reading a file through a mapping while another program may shorten it: the kernel answers a
// read past the new end with SIGBUS, which would end the process. Two ways out:
//  - work run through ReadMappedGuarded is stopped there instead, and the call returns false
//    (for a pass over a file that can be made again by reading);
//  - a mapping registered with KeepReadable, that the program reads anywhere and at any time,
//    reads as zeros from the page that went away to its end.
//
// Guarded work is left by a jump from the signal handler: it must not hold anything that needs
// destroying (locks, containers of its own), only read the mapping and write to what the caller
// owns.

#include <cstddef>

namespace MappedRead {

bool ReadMappedGuarded(void (*work)(void*), void* context);

template <class Work> bool ReadMappedGuarded(Work& work) {
    return ReadMappedGuarded([](void* context) { (*static_cast<Work*>(context))(); },
                             static_cast<void*>(&work));
}

// `base` is where mmap put the mapping and `size` its length. False when no more mappings can
// be kept (a handful at a time): the caller then copies instead of mapping.
bool KeepReadable(const void* base, std::size_t size);
// Called before the mapping is unmapped.
void StopKeeping(const void* base);

} // namespace MappedRead
