#pragma once
// The facade's request records: made with the operation name and the session
// token, run synchronously, released when the command ends.
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/filesystem/taskdata/taskdata.h"

struct ReleaseTaskRecord {
    void operator()(TaskDataBase* record) const {
        if (record)
            record->Release();
    }
};

template <class T>
using TaskRecordPtr = std::unique_ptr<T, ReleaseTaskRecord>;

// Null when out of memory.
template <class T>
TaskRecordPtr<T> MakeFacadeRecord(const wchar_t* operationName, const std::wstring& token) {
    TaskRecordPtr<T> record(T::Create());
    if (record) {
        record->operationName = operationName;
        record->token = token;
    }
    return record;
}

// Hands a finished listing to the caller's list without copying it.
template <class T>
void AppendListing(std::vector<T>& items, std::vector<T>* out) {
    if (out->empty())
        out->swap(items);
    else
        out->insert(out->end(), std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
}
