#include "util/AnsiText.h"

#include <QtEndian>

#include <cerrno>
#include <iconv.h>

namespace {

constexpr const char* kAnsiCodePage = "CP932";

class Iconv
{
public:
    Iconv(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid()) {
            iconv_close(m_handle);
        }
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_handle; }

private:
    iconv_t m_handle;
};

} // namespace

QByteArray ToAnsiBytes(const QString& text)
{
    Iconv codec(kAnsiCodePage, "UTF-16LE");
    if (!codec.valid() || text.isEmpty()) {
        return {};
    }
    QByteArray out;
    out.reserve(text.size() * 2);
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype count = text.size();
    char buffer[8];
    for (qsizetype i = 0; i < count;) {
        // Convert one character (one code unit, or a surrogate pair) at a time so that an
        // unmappable character can be replaced without losing the rest.
        const qsizetype width = (QChar::isHighSurrogate(units[i]) && i + 1 < count) ? 2 : 1;
        char16_t pair[2];
        for (qsizetype k = 0; k < width; ++k) {
            pair[k] = qToLittleEndian(units[i + k]);
        }
        char* in = reinterpret_cast<char*>(pair);
        size_t inLeft = static_cast<size_t>(width) * 2;
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(codec.handle(), &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            iconv(codec.handle(), nullptr, nullptr, nullptr, nullptr);
            out.append('?');
        } else {
            out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
        }
        i += width;
    }
    return out;
}

QString FromAnsiBytes(const QByteArray& bytes)
{
    Iconv codec("UTF-16LE", kAnsiCodePage);
    if (!codec.valid() || bytes.isEmpty()) {
        return {};
    }
    QString out;
    QByteArray input = bytes;
    char* in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    QByteArray converted(input.size() * 2 + 4, '\0');
    while (inLeft > 0) {
        char* outPtr = converted.data();
        size_t outLeft = static_cast<size_t>(converted.size());
        const size_t rc = iconv(codec.handle(), &in, &inLeft, &outPtr, &outLeft);
        const qsizetype produced = (outPtr - converted.data()) / 2;
        out.append(QStringView(reinterpret_cast<const char16_t*>(converted.constData()), produced));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or truncated byte sequence: show it as '?' and go on after it.
            out.append(QLatin1Char('?'));
            ++in;
            --inLeft;
            iconv(codec.handle(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}
