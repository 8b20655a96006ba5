#pragma once
// Whether a file is packed into a one-file 7z archive before it is encrypted
// for upload: archives always (decoding unpacks every archive it finds, so an
// archive must carry one added layer), media and archive formats never, the
// rest by size.
#include <string>

#include "platform/hresult.h"

// name: the name whose extension counts (the remote name); path: the local
// file. The size or open failure is returned with pack unchanged.
HRESULT ShouldCompressFile(const std::wstring& name, const std::wstring& path, bool* pack);
