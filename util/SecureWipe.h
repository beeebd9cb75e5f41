#pragma once

#include <QByteArray>
#include <QString>

#include <openssl/crypto.h>

#include <cstddef>
#include <vector>

// Overwrites memory that held keys or passwords before it is reused or released.

inline void SecureWipe(void* data, std::size_t length)
{
    if (data && length) {
        OPENSSL_cleanse(data, length);
    }
}

inline void SecureWipe(QByteArray& bytes)
{
    if (!bytes.isEmpty()) {
        SecureWipe(bytes.data(), static_cast<std::size_t>(bytes.size()));
    }
    bytes.clear();
}

inline void SecureWipe(QString& text)
{
    if (!text.isEmpty()) {
        SecureWipe(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
    }
    text.clear();
}

template <typename T>
void SecureWipe(std::vector<T>& buffer)
{
    SecureWipe(buffer.data(), buffer.size() * sizeof(T));
}
