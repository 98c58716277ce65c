#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

// A fuzzer's bytes as the pieces a function takes: fields separated by the
// byte 0xFF (which is no character in any of the program's encodings), each
// readable as raw bytes, CP932 text, UTF-8 text or a small number.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) {
        const QByteArray all(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        m_fields = all.split('\xFF');
    }
    QByteArray bytes(int i) const { return m_fields.value(i); }
    QString text(int i) const { return QString::fromUtf8(m_fields.value(i)); }
    // The first bytes of a field as a number in [0, limit).
    int number(int i, int limit) const {
        const QByteArray f = m_fields.value(i);
        unsigned value = 0;
        for (int k = 0; k < f.size() && k < 4; ++k) value = value * 256 + static_cast<unsigned char>(f[k]);
        return limit > 0 ? static_cast<int>(value % static_cast<unsigned>(limit)) : 0;
    }
    int count() const { return static_cast<int>(m_fields.size()); }

private:
    QList<QByteArray> m_fields;
};

// A broken rule found by the fuzzer is a crash it keeps as a case.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            abort();                                                                            \
        }                                                                                       \
    } while (0)
