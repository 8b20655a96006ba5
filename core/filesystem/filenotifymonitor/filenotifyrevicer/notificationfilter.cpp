#include "core/filesystem/filenotifymonitor/filenotifyrevicer/notificationfilter.h"

#include "base/utility/localpath.h"
#include "base/utility/stringutil.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/directorychangehandler.h"

namespace {

bool MatchesAny(const std::vector<std::wstring>& patterns, const std::wstring& text) {
    for (const auto& p : patterns)
        if (WildcardMatch(p, text))
            return true;
    return false;
}

std::wstring TestedText(uint32_t flags, const std::wstring& path, const std::wstring& directory) {
    std::wstring text;
    if (flags & kFilterFileName)
        return GetFileNameFromPath(text, path);
    if ((flags & kFilterPartialPath) && path.size() > directory.size() &&
        path.compare(0, directory.size(), directory) == 0 && path[directory.size()] == L'/')
        return path.substr(directory.size() + 1);
    return path;
}

bool PassesPatterns(uint32_t flags, const std::wstring& path, const std::wstring& directory,
                    const std::vector<std::wstring>& includes, const std::vector<std::wstring>& excludes) {
    std::wstring text = TestedText(flags, path, directory);
    return (includes.empty() || MatchesAny(includes, text)) && !MatchesAny(excludes, text);
}

}  // namespace

std::vector<std::wstring> SplitPatterns(const std::wstring& patterns) {
    std::vector<std::wstring> parts, out;
    SplitString(patterns, L';', parts);
    for (auto& p : parts)
        if (!p.empty())
            out.push_back(std::move(p));
    return out;
}

bool WildcardMatch(const std::wstring& pattern, const std::wstring& text) {
    // Greedy with one back-track point: linear enough for names and paths.
    size_t p = 0, t = 0, star = std::wstring::npos, mark = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            mark = t;
        } else if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            t = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

bool PassesNotificationFilter(uint32_t flags, int action, const std::wstring& path,
                              const std::wstring& newPath, const std::wstring& directory,
                              const std::vector<std::wstring>& includes,
                              const std::vector<std::wstring>& excludes,
                              const std::function<bool()>& askHandler) {
    auto ask = [&] { return !askHandler || askHandler(); };
    if ((flags & kFilterNoPatterns) && (flags & kFilterNoHandler))
        return true;
    if (action == kChangeReadError || action == kChangeWatchStarted || action == kChangeWatchStopped)
        return true;
    if ((flags & kFilterAskHandlerFirst) && !(flags & kFilterNoHandler) && !ask())
        return false;
    if (!(flags & kFilterNoPatterns)) {
        bool pass = PassesPatterns(flags, path, directory, includes, excludes);
        if (!pass && action == kChangeRenamed)
            pass = PassesPatterns(flags, newPath, directory, includes, excludes);
        if (!pass)
            return false;
    }
    if (flags & (kFilterAskHandlerFirst | kFilterNoHandler))
        return true;
    return ask();
}
