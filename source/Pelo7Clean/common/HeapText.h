// Heap buffers for the code that needs wide text or counted bytes, which the class
// layer's CString (ANSI, zero-terminated) does not hold. The standard library's
// strings and containers stay out of the image: they bring the runtime's prebuilt
// instantiations with them. new[] throws when memory runs out.
#pragma once
#include <string.h>

// A block of count elements; Resize drops the contents.
template <class T>
class CHeapArray {
public:
    explicit CHeapArray(size_t count) : m_p(new T[count]), m_count(count) {}
    ~CHeapArray() { delete[] m_p; }
    void Resize(size_t count)
    {
        T* p = new T[count];
        delete[] m_p;
        m_p = p;
        m_count = count;
    }
    T* Get() const { return m_p; }
    size_t Count() const { return m_count; }
private:
    T* m_p;
    size_t m_count;
    CHeapArray(const CHeapArray&);
    CHeapArray& operator=(const CHeapArray&);
};

// Growable text of char or WCHAR units, always followed by a zero (which Length does
// not count); it may hold zeros of its own, as file bytes do.
template <class Ch>
class CHeapText {
public:
    CHeapText() : m_p(new Ch[16]), m_length(0), m_capacity(15) { m_p[0] = 0; }
    CHeapText(const Ch* p, size_t length) : CHeapText() { Append(p, length); }
    CHeapText(const CHeapText& other) : CHeapText() { Append(other.m_p, other.m_length); }
    ~CHeapText() { delete[] m_p; }
    CHeapText& operator=(const CHeapText& other)
    {
        if (this != &other) {
            m_length = 0;
            Append(other.m_p, other.m_length);
        }
        return *this;
    }

    const Ch* Get() const { return m_p; }
    size_t Length() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }

    void Append(const Ch* p, size_t length)
    {
        if (m_length + length > m_capacity) {
            size_t capacity = m_capacity * 2;
            if (capacity < m_length + length)
                capacity = m_length + length;
            Ch* grown = new Ch[capacity + 1];
            memcpy(grown, m_p, m_length * sizeof(Ch));
            delete[] m_p;
            m_p = grown;
            m_capacity = capacity;
        }
        memmove(m_p + m_length, p, length * sizeof(Ch));
        m_length += length;
        m_p[m_length] = 0;
    }
    void Append(const CHeapText& other) { Append(other.m_p, other.m_length); }
    void Append(Ch c) { Append(&c, 1); }
    // ASCII text, widened unit by unit where Ch is WCHAR.
    void AppendAscii(const char* text)
    {
        for (; *text != '\0'; ++text)
            Append((Ch)(unsigned char)*text);
    }
    void Truncate(size_t length)
    {
        if (length < m_length) {
            m_length = length;
            m_p[m_length] = 0;
        }
    }

private:
    Ch* m_p;
    size_t m_length, m_capacity;
};
