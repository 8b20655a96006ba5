#pragma once
// Small text helpers on the core's wide strings.
#include <string>
#include <vector>

// True when the pointer is null or the text is empty.
bool IsNullOrEmpty(const wchar_t* text);

// 0 when the argument equals the switch (ordinal compare; without regard to
// case when ignoreCase is set), else -1 or 1 as the compare's sign.
int CompareSwitch(const std::wstring& argument, const std::wstring& switchText, bool ignoreCase);

// Appends every stretch before a separator, empty ones included, then the rest
// after the last separator when it is not empty. The vector is not cleared:
// "a||b|" appends "a", "" and "b"; "" appends nothing; "|a" appends "" and "a".
void SplitString(const std::wstring& text, wchar_t separator, std::vector<std::wstring>& parts);
