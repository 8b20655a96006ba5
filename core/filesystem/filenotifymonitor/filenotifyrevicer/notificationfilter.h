#pragma once
// Which notifications reach a handler: the watcher's filter flags and the
// include and exclude patterns of a watched directory.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Filter flags of a watcher.
enum NotificationFilterFlags : uint32_t {
    kFilterNoPatterns = 1,        // patterns are not tested
    kFilterPartialPath = 4,       // patterns test the path below the watched folder
    kFilterFileName = 8,          // patterns test the last element only
    kFilterAskHandlerFirst = 16,  // the handler's filter runs before the patterns
    kFilterNoHandler = 32,        // the handler's filter is never asked
    kFilterNoWatchStarted = 64,   // "watch started" is not delivered
    kFilterNoWatchStopped = 128,  // "watch stopped" is not delivered
};

// A pattern list as the caller gives it: patterns separated by ';', empty
// ones dropped.
std::vector<std::wstring> SplitPatterns(const std::wstring& patterns);
// '*' matches any run (also empty), '?' any one character; the rest compares
// exactly.
bool WildcardMatch(const std::wstring& pattern, const std::wstring& text);

// True when a notification of the action passes. directory is the watched
// folder (no trailing "/"); askHandler runs the handler's own filter.
bool PassesNotificationFilter(uint32_t flags, int action, const std::wstring& path,
                              const std::wstring& newPath, const std::wstring& directory,
                              const std::vector<std::wstring>& includes,
                              const std::vector<std::wstring>& excludes,
                              const std::function<bool()>& askHandler);
