#include "platform/core/CString.h"

#include <algorithm>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

std::u16string Digits(unsigned long long value, unsigned base, bool upper) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string out;
    do {
        out.insert(out.begin(), static_cast<char16_t>(digits[value % base]));
        value /= base;
    } while (value != 0);
    return out;
}

struct FieldFormat {
    bool leftAlign = false;
    bool zeroPad = false;
    size_t width = 0;
};

void Pad(std::u16string& out, std::u16string body, const FieldFormat& field, bool numeric) {
    if (body.size() >= field.width) {
        out += body;
        return;
    }
    const size_t fill = field.width - body.size();
    if (field.leftAlign) {
        out += body;
        out.append(fill, u' ');
    } else if (field.zeroPad && numeric) {
        // zeros go after a minus sign: "-007"
        const bool negative = !body.empty() && body.front() == u'-';
        if (negative) {
            out += u'-';
            body.erase(0, 1);
        }
        out.append(fill, u'0');
        out += body;
    } else {
        out.append(fill, u' ');
        out += body;
    }
}

// The value of an integer argument seen through a conversion; text converts to 0.
unsigned long long AsUnsigned(const CString::FormatArg& arg) {
    if (const auto* s = std::get_if<long long>(&arg.Value())) {
        return static_cast<unsigned long long>(*s);
    }
    if (const auto* u = std::get_if<unsigned long long>(&arg.Value())) {
        return *u;
    }
    return 0;
}

std::u16string AsSigned(const CString::FormatArg& arg) {
    if (const auto* s = std::get_if<long long>(&arg.Value())) {
        const long long v = *s;
        if (v < 0) {
            return u"-" + Digits(0ULL - static_cast<unsigned long long>(v), 10, false);
        }
        return Digits(static_cast<unsigned long long>(v), 10, false);
    }
    return Digits(AsUnsigned(arg), 10, false);
}

std::u16string AsText(const CString::FormatArg& arg) {
    if (const auto* text = std::get_if<std::u16string_view>(&arg.Value())) {
        return std::u16string(*text);
    }
    return AsSigned(arg);
}

} // namespace

int CString::Find(std::u16string_view sub, int start) const {
    if (start < 0 || static_cast<size_t>(start) > m_str.size()) {
        return -1;
    }
    const auto pos = m_str.find(sub, static_cast<size_t>(start));
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(char16_t ch, int start) const {
    return Find(std::u16string_view(&ch, 1), start);
}

int CString::ReverseFind(char16_t ch) const {
    const auto pos = m_str.rfind(ch);
    return pos == std::u16string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const {
    return CString(m_str.substr(0, static_cast<size_t>(std::max(count, 0))));
}

CString CString::Mid(int first) const {
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
    count = std::clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

CString& CString::MakeUpper() {
    for (auto& ch : m_str) {
        if (ch >= u'a' && ch <= u'z') {
            ch = static_cast<char16_t>(ch - u'a' + u'A');
        }
    }
    return *this;
}

void CString::FormatList(std::u16string_view format, const FormatArg* args, size_t count) {
    std::u16string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char16_t ch = format[i];
        if (ch != u'%' || i + 1 >= format.size()) {
            out += ch;
            continue;
        }
        FieldFormat field;
        size_t j = i + 1;
        for (; j < format.size() && (format[j] == u'-' || format[j] == u'0'); ++j) {
            (format[j] == u'-' ? field.leftAlign : field.zeroPad) = true;
        }
        for (; j < format.size() && format[j] >= u'0' && format[j] <= u'9'; ++j) {
            field.width = field.width * 10 + static_cast<size_t>(format[j] - u'0');
        }
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        const char16_t conversion = format[j];
        i = j;
        if (conversion == u'%') {
            out += u'%';
            continue;
        }
        // A conversion without its argument prints nothing rather than reading past the list.
        if (next >= count) {
            continue;
        }
        const FormatArg& arg = args[next++];
        switch (conversion) {
        case u's':
            Pad(out, AsText(arg), field, false);
            break;
        case u'd':
        case u'i':
            Pad(out, AsSigned(arg), field, true);
            break;
        case u'u':
            Pad(out, Digits(AsUnsigned(arg), 10, false), field, true);
            break;
        case u'x':
        case u'X':
            Pad(out, Digits(AsUnsigned(arg), 16, conversion == u'X'), field, true);
            break;
        case u'c':
            Pad(out, std::u16string(1, static_cast<char16_t>(AsUnsigned(arg))), field, false);
            break;
        default:
            out += u'%';
            out += conversion;
            break;
        }
    }
    m_str = std::move(out);
}

CString CString::FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        size_t extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k <= extra && i + k < utf8.size(); ++k) {
            const auto trail = static_cast<unsigned char>(utf8[i + k]);
            if ((trail & 0xC0) != 0x80) {
                break;
            }
            cp = (cp << 6) | (trail & 0x3F);
        }
        const bool complete = k == extra + 1;
        const bool overlong = (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        const bool invalid = (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF;
        if (!complete || overlong || invalid) {
            out += kReplacement;
            i += complete ? k : std::max<size_t>(k, 1);
            continue;
        }
        i += k;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return CString(std::move(out));
}

std::string CString::ToUtf8() const {
    std::string out;
    out.reserve(m_str.size() * 3);
    for (size_t i = 0; i < m_str.size(); ++i) {
        char32_t cp = m_str[i];
        const bool high = cp >= 0xD800 && cp <= 0xDBFF;
        if (high && i + 1 < m_str.size() && m_str[i + 1] >= 0xDC00 && m_str[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (m_str[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement; // a lone surrogate has no UTF-8 form
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}
