// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtLocale.h"

#include "platform/IcuSortKeys.h"
#include "platform/QtText.h"
#include "texts/AsciiCase.h"
#include "texts/Encoding.h"

#include <QStringDecoder>
#include <QVarLengthArray>
#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::platform {

namespace {

using Utf16Buffer = QVarLengthArray<QChar, 256>;

// compareIgnoreCase() runs for every comparison of a sort, so it decodes into
// a stack buffer instead of building a std::string and a QString per side,
// and widens pure ASCII without a decoder. The reading is that of
// DisplayText(): UTF-8 when valid, else Windows-1252.
QStringView Decode(std::string_view bytes, Utf16Buffer& buffer)
{
    buffer.resize(static_cast<qsizetype>(bytes.size()));
    QChar* out = buffer.data();
    const char* in = bytes.data();
    const char* const last = in + bytes.size();
#if defined(__SSE2__)
    // Sixteen bytes at a time while none is 0x80 or above, each widened to
    // a QChar by interleaving it with a zero byte.
    const __m128i zero = _mm_setzero_si128();
    for (; last - in >= 16; in += 16, out += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        if (_mm_movemask_epi8(v) != 0)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(v, zero));
    }
    // Fewer than sixteen bytes left of a longer text that was plain so far:
    // its last sixteen bytes, of which those before `in` are widened again
    // to the same characters.
    if (in != last && last - in < 16 && bytes.size() >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(last - 16));
        if (_mm_movemask_epi8(v) == 0) {
            QChar* const tail = out + (last - in) - 16;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(tail), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(tail + 8), _mm_unpackhi_epi8(v, zero));
            return QStringView(buffer.data(), tail + 16);
        }
    }
#endif
    for (; in != last; ++in) {
        if (static_cast<unsigned char>(*in) >= 0x80)
            break;
        *out++ = QLatin1Char(*in);
    }
    if (in == last)
        return QStringView(buffer.data(), out);

    if (!texts::IsValidUtf8(bytes)) {
        const std::string utf8 = texts::Windows1252ToUtf8(bytes);
        return Decode(utf8, buffer);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    buffer.resize(decoder.requiredSpace(view.size()));
    const QChar* end = decoder.appendToBuffer(buffer.data(), view);
    return QStringView(buffer.data(), end);
}

// The key of QCollator's order in the C locale, which compares UTF-16 code
// units, or with case ignored the case folding of each unit, a low
// surrogate after a high one folded as the whole character it ends.
void AppendCodeUnitKey(std::string_view text, CaseOrder order, std::string& key)
{
    const bool fold = order == CaseOrder::IgnoreCase;
    if (texts::IsAscii(text)) {
        const std::size_t start = key.size();
        key += text;
        if (fold)
            std::transform(key.begin() + static_cast<std::ptrdiff_t>(start), key.end(),
                           key.begin() + static_cast<std::ptrdiff_t>(start),
                           texts::LowerAsciiLetter);
        return;
    }
    Utf16Buffer buffer;
    const QStringView units = Decode(text, buffer);
    char16_t last = 0;
    for (const QChar unit : units) {
        char32_t value = unit.unicode();
        if (fold) {
            if (QChar::isLowSurrogate(value) && QChar::isHighSurrogate(last))
                value = QChar::surrogateToUcs4(last, static_cast<char16_t>(value));
            last = unit.unicode();
            value = QChar::toCaseFolded(value);
        }
        texts::AppendUtf8(key, value);
    }
}

} // namespace

QtLocale::QtLocale(const QLocale& locale)
    : locale_(locale), collator_(locale), caseCollator_(locale)
{
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    caseCollator_.setCaseSensitivity(Qt::CaseSensitive);
    // QCollator opens its ICU collator on first use; doing it here keeps the
    // const members free of lazy set-up.
    collator_.compare(QStringView(u"a"), QStringView(u"b"));
    caseCollator_.compare(QStringView(u"a"), QStringView(u"b"));
    // QCollator's own collator: C compares code units; others are opened
    // by their BCP 47 name with "_".
    if (locale.language() != QLocale::C) {
        auto keys = std::make_shared<const IcuSortKeys>(
            locale.bcp47Name().replace(u'-', u'_').toStdString());
        if (keys->valid())
            sortKeys_ = std::move(keys);
    }
}

std::string QtLocale::toLower(std::string_view text) const
{
    return ToNodeBytes(locale_.toLower(ToQString(text)));
}

int QtLocale::compareIgnoreCase(std::string_view a, std::string_view b) const
{
    Utf16Buffer bufferA;
    Utf16Buffer bufferB;
    return collator_.compare(Decode(a, bufferA), Decode(b, bufferB));
}

int QtLocale::compare(std::string_view a, std::string_view b) const
{
    Utf16Buffer bufferA;
    Utf16Buffer bufferB;
    return caseCollator_.compare(Decode(a, bufferA), Decode(b, bufferB));
}

bool QtLocale::appendSortKey(std::string_view text, CaseOrder order, std::string& key) const
{
    if (sortKeys_ == nullptr) {
        AppendCodeUnitKey(text, order, key);
        return true;
    }
    if (text.empty() || sortKeys_->appendAscii(text, key))
        return false;
    Utf16Buffer buffer;
    const QStringView units = Decode(text, buffer);
    sortKeys_->append(units.utf16(), static_cast<std::size_t>(units.size()), key);
    return false;
}

std::string QtLocale::languageName() const
{
    if (locale_.language() == QLocale::C)
        return "English";
    return ToNodeBytes(QLocale::languageToString(locale_.language()));
}

std::string QtLocale::dateSeparator() const
{
    const QString format = locale_.dateFormat(QLocale::ShortFormat);
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || c.isLetterOrNumber() || c.isSpace() || c.category() == QChar::Other_Format)
            continue;
        return ToNodeBytes(QString(c));
    }
    return "/";
}

std::string QtLocale::decimalSeparator() const
{
    return ToNodeBytes(locale_.decimalPoint());
}

} // namespace velmora::platform
