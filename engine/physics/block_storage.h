#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace vo {

// Objects kept in blocks that never move, so that pointers to them stay
// valid while more are added. Each new block holds at least as many objects
// as all blocks before it, so that a few blocks hold everything and objects
// added one after the other mostly lie next to each other in memory.
template <class T>
class BlockStorage {
public:
    // n new default-constructed objects next to each other; the first.
    T* add(std::size_t n) {
        if (spare_ < n) {
            const std::size_t size = n > count_ ? n : count_;
            blocks_.push_back(std::unique_ptr<T[]>(new T[size]));
            block_size_ = size;
            spare_ = size;
        }
        T* first = blocks_.back().get() + (block_size_ - spare_);
        spare_ -= n;
        count_ += n;
        return first;
    }
    // Destroys every object.
    void clear() {
        blocks_.clear();
        spare_ = 0;
        block_size_ = 0;
        count_ = 0;
    }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t block_size_ = 0;  // of the last block
    std::size_t spare_ = 0;       // objects not handed out at the end of the last block
    std::size_t count_ = 0;       // objects handed out
};

}  // namespace vo
