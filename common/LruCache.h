#pragma once
// A map of at most Capacity entries that, when full, forgets the entry used
// longest ago: what the drawing caches keep stays bounded however many words
// a long game shows, while the words on view stay cached.

#include <algorithm>
#include <cstddef>
#include <list>
#include <unordered_map>
#include <utility>

template <typename Key, typename Value>
class TLruCache {
public:
    explicit TLruCache(std::size_t capacity) : m_capacity(std::max<std::size_t>(capacity, 1)) {}

    // The value, now the most recently used; null when absent. Valid until
    // the entry is forgotten (an Insert into a full cache, or Clear).
    Value *Find(const Key &key)
    {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return nullptr;
        m_order.splice(m_order.begin(), m_order, it->second);
        return &it->second->second;
    }

    // Stores the value under the key (replacing an older one) as the most
    // recently used, forgetting the least recently used entry when full.
    Value &Insert(Key key, Value value)
    {
        if (const auto it = m_index.find(key); it != m_index.end()) {
            it->second->second = std::move(value);
            m_order.splice(m_order.begin(), m_order, it->second);
            return it->second->second;
        }
        if (m_order.size() >= m_capacity) {
            m_index.erase(m_order.back().first);
            m_order.pop_back();
        }
        m_order.emplace_front(std::move(key), std::move(value));
        m_index.emplace(m_order.front().first, m_order.begin());
        return m_order.front().second;
    }

    void Clear()
    {
        m_index.clear();
        m_order.clear();
    }
    std::size_t Size() const { return m_order.size(); }
    std::size_t Capacity() const { return m_capacity; }

private:
    using TEntries = std::list<std::pair<Key, Value>>;
    std::size_t m_capacity;
    TEntries m_order;  // most recently used first
    std::unordered_map<Key, typename TEntries::iterator> m_index;
};
