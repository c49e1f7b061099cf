#pragma once

// Turns the fuzzer's bytes into the program's inputs.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace zelmar::fuzz {

// Reads the bytes front to back; runs dry quietly (zeros and empty texts).
class Input
{
public:
    Input(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {}

    bool empty() const { return m_at >= m_size; }

    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

    // A text of up to `max` bytes, length-prefixed: decoded as UTF-8 or, by the
    // prefix's top bit, as UTF-16 so that lone surrogates and NULs come through too.
    QString text(size_t max = 64)
    {
        const uint8_t head = byte();
        size_t n = head & 0x7f;
        if (n > max)
            n = max;
        if (n > m_size - m_at)
            n = m_size - m_at;
        const char* p = reinterpret_cast<const char*>(m_data + m_at);
        m_at += n;
        if (head & 0x80)
            return QString(
                reinterpret_cast<const QChar*>(QByteArray(p, qsizetype(n & ~size_t(1))).constData()),
                qsizetype(n / 2));
        return QString::fromUtf8(p, qsizetype(n));
    }

    // Everything left, as UTF-8.
    QString rest()
    {
        const QString out =
            QString::fromUtf8(reinterpret_cast<const char*>(m_data + m_at), qsizetype(m_size - m_at));
        m_at = m_size;
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// A broken property: the fuzzer reports the input that led here.
#define ZELMAR_FUZZ_CHECK(condition)                                                                         \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                   \
            abort();                                                                                         \
        }                                                                                                    \
    } while (false)

} // namespace zelmar::fuzz
