#pragma once

#include <cstddef>

namespace vo_test {

// Counts calls of the global operator new (every form) in this process,
// including those made inside vorlib. Linking this file replaces the global
// allocation functions with counting ones over malloc and free.
std::size_t AllocationCount();

// Counts the allocations made while it lives.
class AllocationScope {
public:
    AllocationScope() : start_(AllocationCount()) {}
    std::size_t count() const { return AllocationCount() - start_; }

private:
    std::size_t start_;
};

}  // namespace vo_test
