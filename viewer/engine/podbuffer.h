#pragma once
// PodBuffer: a growable array of trivially copyable values for the listing's large
// columns. Unlike std::vector it grows with realloc, which moves large blocks by
// remapping pages instead of copying them, and it never zero-fills new room.
//
// Throws std::bad_alloc when memory runs out. Copyable and movable.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace Engine {

template <typename T>
class PodBuffer
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    PodBuffer() = default;
    PodBuffer(const PodBuffer &other) { append(other.data(), other.size()); }
    PodBuffer(PodBuffer &&other) noexcept { swap(other); }
    PodBuffer &operator=(PodBuffer other) noexcept
    {
        swap(other);
        return *this;
    }
    ~PodBuffer() { std::free(m_data); }

    void swap(PodBuffer &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    T *data() { return m_data; }
    const T *data() const { return m_data; }
    T &operator[](std::size_t i) { return m_data[i]; }
    const T &operator[](std::size_t i) const { return m_data[i]; }

    void reserve(std::size_t capacity)
    {
        if (capacity <= m_capacity)
            return;
        void *grown = std::realloc(static_cast<void *>(m_data), capacity * sizeof(T));
        if (!grown)
            throw std::bad_alloc();
        m_data = static_cast<T *>(grown);
        m_capacity = capacity;
    }

    // Sets the size; new elements are left uninitialised.
    void resizeUninitialized(std::size_t size)
    {
        if (size > m_capacity)
            reserve(std::max(size, m_capacity + m_capacity / 2 + 16));
        m_size = size;
    }

    // Sets the size; new elements become value.
    void resize(std::size_t size, const T &value = T())
    {
        const std::size_t old = m_size;
        resizeUninitialized(size);
        for (std::size_t i = old; i < size; ++i)
            m_data[i] = value;
    }

    void push_back(const T &value)
    {
        if (m_size == m_capacity)
            reserve(m_capacity + m_capacity / 2 + 16);
        m_data[m_size++] = value;
    }

    void append(const T *values, std::size_t count)
    {
        const std::size_t old = m_size;
        resizeUninitialized(old + count);
        T *to = m_data + old;
        if constexpr (sizeof(T) == 1) {
            // Short texts: two overlapping moves of 8 or 4 bytes cover 4 to 16 bytes
            // exactly, without a call and without reading past the text.
            const auto *from = reinterpret_cast<const char *>(values);
            auto *into = reinterpret_cast<char *>(to);
            if (count >= 8 && count <= 16) {
                copyEnds<std::uint64_t>(into, from, count);
                return;
            }
            if (count >= 4 && count < 8) {
                copyEnds<std::uint32_t>(into, from, count);
                return;
            }
        }
        if (count <= 16) {
            // Through a local pointer, which the stores cannot change (a char store could
            // change m_data, as far as the compiler knows).
            for (std::size_t i = 0; i < count; ++i)
                to[i] = values[i];
        } else {
            std::memcpy(static_cast<void *>(to), values, count * sizeof(T));
        }
    }

    void clear() { m_size = 0; }

private:
    // Copies count bytes (from sizeof(Word) to twice that) as a word from the start and a
    // word that ends at the end, which overlap in the middle.
    template <typename Word>
    static void copyEnds(char *into, const char *from, std::size_t count)
    {
        Word head;
        Word tail;
        std::memcpy(&head, from, sizeof(Word));
        std::memcpy(&tail, from + count - sizeof(Word), sizeof(Word));
        std::memcpy(into, &head, sizeof(Word));
        std::memcpy(into + count - sizeof(Word), &tail, sizeof(Word));
    }

    T *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace Engine
