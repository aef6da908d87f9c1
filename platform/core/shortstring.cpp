// Short strings and the Windows-1251 conversion behind them, done with glibc
// iconv. iconv stops at the first character the target cannot hold, so the
// conversion steps over such characters itself.
#include "shortstring.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace ShortString
{

namespace
{

// Owns one iconv descriptor for the length of a conversion.
class Converter
{
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Length of the UTF-8 sequence that starts with this byte; a stray byte
// counts as one so that the caller always makes progress.
std::size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xf0 && lead < 0xf8)
        return 4;
    if (lead >= 0xe0)
        return 3;
    if (lead >= 0xc0)
        return 2;
    return 1;
}

// Runs iconv over the whole input. When a character cannot be converted,
// `replacement` is appended in its place and `skip` tells how many input
// bytes that character takes.
template <typename Skip>
QByteArray convert(const char *to, const char *from, const QByteArray &input,
                   const QByteArray &replacement, Skip skip)
{
    Converter converter(to, from);
    if (!converter.valid())
        return {};

    QByteArray output;
    char buffer[256];
    char *in = const_cast<char *>(input.constData());
    std::size_t inLeft = static_cast<std::size_t>(input.size());
    while (inLeft > 0) {
        char *out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter.handle(), &in, &inLeft, &out, &outLeft);
        const int err = errno;
        output.append(buffer, out - buffer);
        if (result != static_cast<std::size_t>(-1))
            break;
        if (err == E2BIG)
            continue;
        // EILSEQ, or EINVAL for a sequence cut short at the end.
        output.append(replacement);
        const std::size_t step = std::min(skip(static_cast<unsigned char>(*in)), inLeft);
        in += step;
        inLeft -= step;
    }
    return output;
}

} // namespace

QByteArray toCp1251(const QString &text)
{
    // A surrogate pair is one four-byte UTF-8 sequence, so it turns into one
    // "?" and counts as one character.
    return convert("CP1251", "UTF-8", text.toUtf8(), QByteArrayLiteral("?"), utf8SequenceLength);
}

QString fromCp1251(const QByteArray &bytes)
{
    // The few byte values Windows-1251 leaves undefined read as U+FFFD.
    return QString::fromUtf8(convert("UTF-8", "CP1251", bytes, QByteArrayLiteral("\xef\xbf\xbd"),
                                     [](unsigned char) { return std::size_t{1}; }));
}

bool fitsCp1251(const QString &text)
{
    return fromCp1251(toCp1251(text)) == text;
}

void store(std::uint8_t *field, int capacity, const QString &text)
{
    const QByteArray bytes = toCp1251(text);
    const int length = std::min<qsizetype>(bytes.size(), capacity);
    field[0] = static_cast<std::uint8_t>(length);
    std::memcpy(field + 1, bytes.constData(), static_cast<std::size_t>(length));
}

QString load(const std::uint8_t *field, int capacity)
{
    const int length = std::min<int>(field[0], capacity);
    return fromCp1251(QByteArray(reinterpret_cast<const char *>(field + 1), length));
}

} // namespace ShortString
