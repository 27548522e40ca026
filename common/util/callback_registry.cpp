#include "common/util/callback_registry.h"

#include <utility>

namespace mg {

CallbackRegistry::CallbackRegistry() = default;

CallbackRegistry::~CallbackRegistry()
{
    for (auto& keyAndList : m_callbacks)
        for (Entry& entry : keyAndList.second)
            if (entry.linkField)
                *entry.linkField = nullptr;
}

void CallbackRegistry::add_callback(uint32_t key, Callback callback, void** linkField)
{
    m_callbacks[key].push_back(Entry{std::move(callback), linkField});
}

size_t CallbackRegistry::num_callbacks(uint32_t key) const
{
    auto it = m_callbacks.find(key);
    return it == m_callbacks.end() ? 0 : it->second.size();
}

}  // namespace mg
