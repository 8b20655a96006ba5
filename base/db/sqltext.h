#pragma once
// Building SQL by formatting values into it, safely: FormatSql doubles the
// single quotes of every text argument, so a value can never end its literal.
// Fragments that are SQL already pass through SqlVerbatim; values matched
// literally inside a LIKE pattern go through SqlLike together with
// SQL_LIKE_ESCAPE. Never cut: SQL texts may exceed the usual 1023 characters.
#include <string>
#include <type_traits>

#include "base/utility/formatstring.h"

// Doubles every single quote.
std::wstring EscapeSqlQuotes(const std::wstring& text);
// Escapes "\", "%" and "_" with "\" so they match themselves under
// SQL_LIKE_ESCAPE; quotes are left for EscapeSqlQuotes.
std::wstring EscapeSqlLikePattern(const std::wstring& text);

// The escape clause that goes after every LIKE pattern built with SqlLike.
#define SQL_LIKE_ESCAPE L"ESCAPE '\\'"

// A piece of SQL (a clause, a column list) formatted in as it stands.
struct SqlVerbatim {
    std::wstring text;
};
// A value matched literally inside a LIKE pattern.
struct SqlLike {
    std::wstring text;
};

namespace sqltext_detail {
inline std::wstring Arg(const std::wstring& s) {
    return EscapeSqlQuotes(s);
}
inline std::wstring Arg(const wchar_t* s) {
    return EscapeSqlQuotes(s ? s : L"");
}
std::wstring Arg(const std::string& s);
std::wstring Arg(const char* s);
inline const std::wstring& Arg(const SqlVerbatim& s) {
    return s.text;
}
inline std::wstring Arg(const SqlLike& s) {
    return EscapeSqlQuotes(EscapeSqlLikePattern(s.text));
}
template <class T,
          typename std::enable_if<std::is_arithmetic<T>::value || std::is_enum<T>::value, int>::type = 0>
T Arg(T v) {
    return v;
}
}  // namespace sqltext_detail

// FormatStringUnbounded with every text argument escaped for a quoted literal:
// FormatSql(L"svrid = '%s' AND isdir = %d", id, 1).
template <class... A>
std::wstring FormatSql(const wchar_t* format, const A&... args) {
    return FormatStringUnbounded(format, sqltext_detail::Arg(args)...);
}
