#pragma once

#include <QByteArray>

#include <iconv.h>

// Owns one iconv conversion descriptor; invalid when iconv does not know the code pages.
class Iconv {
public:
    Iconv(const QByteArray& to, const QByteArray& from)
        : m_handle(iconv_open(to.constData(), from.constData())) {}
    ~Iconv() {
        if (isValid())
            iconv_close(m_handle);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool isValid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_handle; }

    // Back to the initial shift state, so one call's leftovers never leak into the next.
    void reset() const { iconv(m_handle, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_handle;
};
