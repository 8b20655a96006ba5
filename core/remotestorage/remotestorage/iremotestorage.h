#pragma once
// The client of the storage service: one method per service operation, each
// one HTTP exchange through a fresh transport. Every operation takes its
// request record, an optional progress callback with its context (handed to
// the transport unchanged: progress reports and cancellation) and the node
// that receives the parsed reply.
#include "core/filesystem/taskdata/taskdata.h"
#include "core/remotestorage/remotestorage/itransport.h"
#include "core/remotestorage/remotestorage/remoterecords.h"
#include "core/remotestorage/remotestorage/xmlnode.h"
#include "platform/unknown.h"

struct IRemoteStorage : IUnknown {
    PELLUX_INTERFACE_ID(0xF66A882A, 0x1348, 0x47D2, 0xBE, 0x00, 0x75, 0xB6, 0xA1, 0x11, 0x3E, 0x16)

    // Both do nothing and succeed.
    virtual HRESULT Init() = 0;
    virtual HRESULT UnInit() = 0;

    virtual HRESULT Login(const TaskData_Login* data, TransportProgressCallback progress, void* context,
                          XmlNode* reply) = 0;
    virtual HRESULT ReLogin(const TaskData_ReLogin* data, TransportProgressCallback progress, void* context,
                            XmlNode* reply) = 0;
    virtual HRESULT GetSpace(const TaskData_GetSpace* data, TransportProgressCallback progress, void* context,
                             XmlNode* reply) = 0;
    virtual HRESULT GetMaxVers(const TaskData_GetRemoteOptVer* data, TransportProgressCallback progress,
                               void* context, XmlNode* reply) = 0;
    virtual HRESULT GetRecycle(const TaskData_GetRecycle* data, TransportProgressCallback progress,
                               void* context, XmlNode* reply) = 0;
    virtual HRESULT CleanRecycle(const TaskData_CleanRecycle* data, TransportProgressCallback progress,
                                 void* context, XmlNode* reply) = 0;
    virtual HRESULT Recover(const TaskData_Recover* data, TransportProgressCallback progress, void* context,
                            XmlNode* reply) = 0;
    // The long poll: held by the service until the user's versions change.
    virtual HRESULT PushNotify(const TaskData_PushNotify* data, TransportProgressCallback progress,
                               void* context, XmlNode* reply) = 0;
    virtual HRESULT GetNormalItemSnapshot(const TaskData_ItemSnapshot* data,
                                          TransportProgressCallback progress, void* context,
                                          XmlNode* reply) = 0;
    virtual HRESULT GetDeletedItemSnapshot(const TaskData_ItemSnapshot* data,
                                           TransportProgressCallback progress, void* context,
                                           XmlNode* reply) = 0;
    virtual HRESULT GetAllShareFile(const TaskData_GetAllShareFile* data, TransportProgressCallback progress,
                                    void* context, XmlNode* reply) = 0;
    virtual HRESULT Dir(const TaskData_Dir* data, TransportProgressCallback progress, void* context,
                        XmlNode* reply) = 0;
    // Delete and DeleteEx judge the reply in a node of their own: the reply
    // node may be null and is never touched.
    virtual HRESULT Delete(const TaskData_Delete* data, TransportProgressCallback progress, void* context,
                           XmlNode* reply) = 0;
    virtual HRESULT DeleteEx(const TaskData_Delete* data, TransportProgressCallback progress, void* context,
                             XmlNode* reply) = 0;
    virtual HRESULT Rename(const TaskData_Rename* data, TransportProgressCallback progress, void* context,
                           XmlNode* reply) = 0;
    virtual HRESULT NewFolder(const TaskData_DirectoryAdd* data, TransportProgressCallback progress,
                              void* context, XmlNode* reply) = 0;
    virtual HRESULT Move(const TaskData_Move* data, TransportProgressCallback progress, void* context,
                         XmlNode* reply) = 0;
    virtual HRESULT MoveEx(const TaskData_Move* data, TransportProgressCallback progress, void* context,
                           XmlNode* reply) = 0;
    virtual HRESULT NewFile(const TaskData_NewFile* data, TransportProgressCallback progress, void* context,
                            XmlNode* reply) = 0;
    // Asks for an upload address ("url", "stub", "fileKey").
    virtual HRESULT UpdateFile(const TaskData_UpdateFile* data, TransportProgressCallback progress,
                               void* context, XmlNode* reply) = 0;
    // Sends the encoded file to the upload address and stub of the record.
    virtual HRESULT _UploadFile(const TaskData_UpdateFile* data, TransportProgressCallback progress,
                                void* context, XmlNode* reply) = 0;
    // Asks for a download address, fetches the file to the record's download
    // path and checks its SHA-1; the reply node keeps the address request's reply.
    virtual HRESULT DownloadFile(const TaskData_DownloadFile* data, TransportProgressCallback progress,
                                 void* context, XmlNode* reply) = 0;
    // DownloadFile that also hands every byte of the content to the sink while
    // it arrives, in order, on the calling thread; the reply node already holds
    // the address request's reply when the first byte comes. A sink refusing
    // bytes fails the download as a transport failure; a transport that cannot
    // show the bytes leaves the sink unseen. E_NOTIMPL from storages that
    // cannot stream.
    virtual HRESULT DownloadFileStreaming(const TaskData_DownloadFile* data,
                                          const TransportDownloadSink& sink,
                                          TransportProgressCallback progress, void* context, XmlNode* reply) {
        (void)data;
        (void)sink;
        (void)progress;
        (void)context;
        (void)reply;
        return E_NOTIMPL;
    }
    // Fetches the preview package and keeps its picture at the cache path; the
    // reply node is not used and may be null.
    virtual HRESULT GetThumbnail(const TaskData_GetThumbnail* data, TransportProgressCallback progress,
                                 void* context, XmlNode* reply) = 0;
    virtual HRESULT FullTextSearch(const TaskData_FullTextSearch* data, TransportProgressCallback progress,
                                   void* context, XmlNode* reply) = 0;
    virtual HRESULT GetItemInfo(const TaskData_GetItemInfo* data, TransportProgressCallback progress,
                                void* context, XmlNode* reply) = 0;
    virtual HRESULT ShareFile(const TaskData_ShareFile* data, TransportProgressCallback progress,
                              void* context, XmlNode* reply) = 0;
    virtual HRESULT SetFileModTime(const TaskData_UpdateFile* data, TransportProgressCallback progress,
                                   void* context, XmlNode* reply) = 0;
};

// The out pointer holds one reference; E_FAIL when the object cannot be made.
HRESULT CreateRemoteStorage(IRemoteStorage** out);
