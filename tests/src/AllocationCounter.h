// Counts heap allocations made anywhere in the process, the loaded module
// included, while armed. The counting malloc and operator new live in
// AllocationCounter.cpp and replace the C library's for the whole process.
#pragma once

#include <cstddef>

namespace AllocationCounter {
void Arm();
void Disarm();
size_t Allocations();  // since the last Arm
size_t Frees();        // since the last Arm
// Makes every allocation larger than `bytes` fail, armed or not; SIZE_MAX ends that.
void FailAbove(size_t bytes);
}  // namespace AllocationCounter
