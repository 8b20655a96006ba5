#include "ui/crashtext.h"

CCrashText::CCrashText(char* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {
    if (capacity_ > 0)
        buffer_[0] = '\0';
}

CCrashText& CCrashText::Add(const char* text) {
    if (capacity_ == 0)
        return *this;
    for (; text != nullptr && *text != '\0' && length_ + 1 < capacity_; ++text)
        buffer_[length_++] = *text;
    buffer_[length_] = '\0';
    return *this;
}

CCrashText& CCrashText::AddHex(uint64_t value) {
    char digits[17];
    int n = 0;
    do {
        digits[n++] = "0123456789abcdef"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    char text[17];
    for (int i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    text[n] = '\0';
    return Add(text);
}

CCrashText& CCrashText::AddDec(int64_t value, int width) {
    char text[24];
    int n = 0;
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    char digits[21];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative)
        text[n++] = '-';
    for (int i = count; i < width && n < 20; ++i)
        text[n++] = '0';
    while (count > 0)
        text[n++] = digits[--count];
    text[n] = '\0';
    return Add(text);
}

CrashTime CrashTimeOf(int64_t seconds) {
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Days to civil date (proleptic Gregorian), era by era of 400 years.
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year,
            month,
            day,
            static_cast<int>(rest / 3600),
            static_cast<int>(rest % 3600 / 60),
            static_cast<int>(rest % 60)};
}

void BuildDumpName(CCrashText& name, const char* prefix, const CrashTime& time, int n) {
    name.Add(prefix).Add("_").AddDec(time.year, 2).Add("-").AddDec(time.month, 2).Add("-");
    name.AddDec(time.day, 2).Add("-").AddDec(time.hour, 2).Add("-").AddDec(time.minute, 2).Add("-");
    name.AddDec(time.second, 2);
    if (n > 0)
        name.Add("_").AddDec(n);
    name.Add(".dmp");
}
