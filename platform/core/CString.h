#pragma once
// UTF-16 text, the string type of every layer. Literals are written u"...".

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class CString {
public:
    // One argument of Format: an integer of either signedness, or a piece of text.
    class FormatArg {
    public:
        FormatArg(int v) : m_value(static_cast<long long>(v)) {}
        FormatArg(long v) : m_value(static_cast<long long>(v)) {}
        FormatArg(long long v) : m_value(v) {}
        FormatArg(unsigned v) : m_value(static_cast<unsigned long long>(v)) {}
        FormatArg(unsigned long v) : m_value(static_cast<unsigned long long>(v)) {}
        FormatArg(unsigned long long v) : m_value(v) {}
        FormatArg(const char16_t* s) : m_value(std::u16string_view(s ? s : u"")) {}
        FormatArg(const CString& s) : m_value(std::u16string_view(s.m_str)) {}

        const auto& Value() const { return m_value; }

    private:
        std::variant<long long, unsigned long long, std::u16string_view> m_value;
    };

    CString() = default;
    CString(const char16_t* text) : m_str(text ? text : u"") {}
    CString(const char16_t* text, int length) : m_str(text, static_cast<size_t>(length)) {}
    CString(std::u16string_view text) : m_str(text) {}
    CString(std::u16string text) : m_str(std::move(text)) {}
    CString(char16_t ch, int repeat = 1) : m_str(static_cast<size_t>(repeat), ch) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char16_t GetAt(int index) const { return m_str.at(static_cast<size_t>(index)); }
    char16_t operator[](int index) const { return GetAt(index); }
    const char16_t* GetString() const { return m_str.c_str(); }

    // Position of the first occurrence at or after start, or -1.
    int Find(std::u16string_view sub, int start = 0) const;
    int Find(char16_t ch, int start = 0) const;
    int ReverseFind(char16_t ch) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    CString& MakeUpper(); // ASCII letters only, as the handheld's upper-case edit does

    CString& operator+=(const CString& other) {
        m_str += other.m_str;
        return *this;
    }
    CString& operator+=(const char16_t* text) {
        m_str += text ? text : u"";
        return *this;
    }
    CString& operator+=(char16_t ch) {
        m_str += ch;
        return *this;
    }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend CString operator+(CString left, const char16_t* right) { return left += right; }
    friend CString operator+(const char16_t* left, const CString& right) {
        return CString(left) += right;
    }
    friend bool operator==(const CString&, const CString&) = default;
    friend auto operator<=>(const CString&, const CString&) = default;
    friend bool operator==(const CString& left, const char16_t* right) {
        return left.m_str == std::u16string_view(right ? right : u"");
    }

    // printf-style formatting with the conversions %s %d %u %x %X %c and %%, each with an
    // optional '-' or '0' flag and a width: "%04u", "%02x", "%-8s". Replaces the contents.
    template <class... Args> void Format(std::u16string_view format, const Args&... args) {
        const FormatArg list[] = {FormatArg(args)..., FormatArg(0)};
        FormatList(format, list, sizeof...(Args));
    }
    template <class... Args>
    static CString Formatted(std::u16string_view format, const Args&... args) {
        CString result;
        result.Format(format, args...);
        return result;
    }

    // UTF-8, the encoding of the command line, file names and Qt's byte strings.
    static CString FromUtf8(std::string_view utf8);
    std::string ToUtf8() const;

    const std::u16string& str() const { return m_str; }
    std::u16string_view view() const { return m_str; }

private:
    void FormatList(std::u16string_view format, const FormatArg* args, size_t count);

    std::u16string m_str;
};
