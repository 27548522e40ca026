#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>

namespace mg {

// Callbacks by 32-bit key, shared by every grid that was created from the
// same registry. An entry may name a pointer-sized link field inside the
// handle object that registered it; the registry sets that field to null when
// it dies, so the handle knows the registry is gone.
class CallbackRegistry {
public:
    using Callback = std::function<void()>;

    CallbackRegistry();
    ~CallbackRegistry();

    CallbackRegistry(const CallbackRegistry&) = delete;
    CallbackRegistry& operator=(const CallbackRegistry&) = delete;

    void add_callback(uint32_t key, Callback callback, void** linkField);
    size_t num_callbacks(uint32_t key) const;

private:
    struct Entry {
        Callback callback;
        void** linkField;
    };
    std::map<uint32_t, std::list<Entry>> m_callbacks;
};

}  // namespace mg
