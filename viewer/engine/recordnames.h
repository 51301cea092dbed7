#pragma once
// The record names of one section as the table checker meets them, to find the names
// used twice. The names are views into the checked bytes, which must outlive the table.
// Only std::bad_alloc can fail.

#include <QtGlobal>
#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

namespace Engine::Checking {

// The record names of a section, to find the ones used twice. A section may hold millions
// of records, so the table is small (8 bytes a slot) and each name's slot is fetched from
// memory while the next few names are read: a name is settled Depth names after it came.
class RecordNames
{
public:
    struct Repeat
    {
        qint64 line;
        qint64 earlier;
        std::string_view name;
    };

    void add(std::string_view name, qint64 line)
    {
        if (2 * (m_entries.size() + Depth + 1) > m_slots.size()) {
            settleAll();
            grow();
        }
        const std::size_t hash = std::hash<std::string_view>()(name);
        if (m_slots.size() < PrefetchFrom) {
            settle({name, line, hash}); // a small table stays in the cache
            return;
        }
        __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
        m_waiting.resize(Depth);
        Waiting &slot = m_waiting[m_next++ % Depth];
        if (m_queued == Depth)
            settle(slot);
        else
            ++m_queued;
        slot = {name, line, hash};
    }

    // The names used before, in the order they came; settles every name.
    const std::vector<Repeat> &repeats()
    {
        settleAll();
        return m_repeats;
    }

private:
    static constexpr std::size_t Depth = 16;
    static constexpr std::size_t PrefetchFrom = 4096; // slots

    struct Waiting
    {
        std::string_view name;
        qint64 line = 0;
        std::size_t hash = 0;
    };
    struct Entry
    {
        std::string_view name;
        qint64 line;
    };
    struct Slot
    {
        quint32 tag = 0;   // high bits of the hash
        quint32 entry = 0; // index into m_entries + 1; 0: free
    };

    static quint32 tagOf(std::size_t hash) { return quint32(quint64(hash) >> 32); }

    void settle(const Waiting &w)
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = w.hash & mask;; i = (i + 1) & mask) {
            Slot &slot = m_slots[i];
            if (slot.entry == 0) {
                m_entries.push_back({w.name, w.line});
                slot = {tagOf(w.hash), quint32(m_entries.size())};
                return;
            }
            if (slot.tag == tagOf(w.hash) && m_entries[slot.entry - 1].name == w.name) {
                m_repeats.push_back({w.line, m_entries[slot.entry - 1].line, w.name});
                return;
            }
        }
    }

    void settleAll()
    {
        for (std::size_t k = m_next - m_queued; k < m_next; ++k)
            settle(m_waiting[k % Depth]);
        m_queued = 0;
    }

    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(16, 2 * m_slots.size()));
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot &slot : old) {
            if (slot.entry == 0)
                continue;
            const Entry &e = m_entries[slot.entry - 1];
            std::size_t i = std::hash<std::string_view>()(e.name) & mask;
            while (m_slots[i].entry != 0)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    std::vector<Repeat> m_repeats;
    std::vector<Waiting> m_waiting; // Depth names once the table is big
    std::size_t m_next = 0;
    std::size_t m_queued = 0;
};
} // namespace Engine::Checking
