#pragma once
// The text form of a sharer list as the database cache stores it:
// "userId,rights,email,nickName" records joined by "|"; "%", "|" and "," inside
// a field are written as %25, %7C and %2C.
#include <string>
#include <vector>

#include "core/localstorage/localstorage/remoteitem.h"

std::wstring FormatSharerList(const std::vector<SharerInfo>& sharers);
// Appends the records of the text to sharers (not cleared first). A record is
// split into at most four fields, so commas in a nick name stay in it, and a
// piece too short to be a record continues the nick name before it (a "|"
// inside the name). Malformed text never reads out of range.
void ParseSharerList(const std::wstring& text, std::vector<SharerInfo>& sharers);
// "nick(email)", or the nick name alone when it equals the e-mail ignoring case.
std::wstring FormatSharerDisplayName(const SharerInfo& sharer);
