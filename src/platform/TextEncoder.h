#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Encodes text into one code page. Characters the code page cannot represent become "?" and
// are reported through `lossy`. Holds one iconv handle; not thread-safe.
class TextEncoder {
public:
    explicit TextEncoder(const QByteArray& codePage);
    ~TextEncoder();
    TextEncoder(TextEncoder&&) noexcept;
    TextEncoder& operator=(TextEncoder&&) noexcept;

    // `lossy`, when given, is set to true if any character had to be replaced.
    QByteArray encode(const QString& text, bool* lossy = nullptr) const;
    const QByteArray& codePage() const { return m_codePage; }

private:
    struct Handle;
    QByteArray m_codePage;
    std::unique_ptr<Handle> m_handle;
};
