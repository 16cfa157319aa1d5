#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>

// Decodes bytes of one code page to text. An unknown or empty code page decodes as ISO-8859-1,
// so every byte still shows as some character. Holds one iconv handle; not thread-safe.
class TextDecoder {
public:
    explicit TextDecoder(const QByteArray& codePage);
    ~TextDecoder();
    TextDecoder(TextDecoder&&) noexcept;
    TextDecoder& operator=(TextDecoder&&) noexcept;

    QString decode(QByteArrayView bytes) const;
    const QByteArray& codePage() const { return m_codePage; }

private:
    struct Handle;
    QByteArray m_codePage;
    std::unique_ptr<Handle> m_handle;
};
