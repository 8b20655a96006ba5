#pragma once
// The synchronous road of a request record: its operation name picks the
// remote storage call.
#include "platform/hresult.h"

class TaskDataBase;
class XmlNode;
struct IRemoteStorage;

// Calls the operation for the record's name (compared exactly) with no
// progress callback; E_INVALIDARG when the record is not of the class the
// operation reads. A name without an operation calls nothing and gives S_OK.
HRESULT DispatchRecord(IRemoteStorage* remote, TaskDataBase* record, XmlNode* reply);
