#pragma once
// The storage service client behind IRemoteStorage. It keeps nothing between
// calls (the roots are read from the settings on every request), so one object
// serves any number of threads at once.
#include <string>
#include <vector>

#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/remoteoperation.h"

class CRemoteStorage final : public CUnknownImpl<IRemoteStorage> {
public:
    static HRESULT CreateInstance(IRemoteStorage** out);

    HRESULT Init() override;
    HRESULT UnInit() override;
    HRESULT Login(const TaskData_Login* data, TransportProgressCallback progress, void* context,
                  XmlNode* reply) override;
    HRESULT ReLogin(const TaskData_ReLogin* data, TransportProgressCallback progress, void* context,
                    XmlNode* reply) override;
    HRESULT GetSpace(const TaskData_GetSpace* data, TransportProgressCallback progress, void* context,
                     XmlNode* reply) override;
    HRESULT GetMaxVers(const TaskData_GetRemoteOptVer* data, TransportProgressCallback progress,
                       void* context, XmlNode* reply) override;
    HRESULT GetRecycle(const TaskData_GetRecycle* data, TransportProgressCallback progress, void* context,
                       XmlNode* reply) override;
    HRESULT CleanRecycle(const TaskData_CleanRecycle* data, TransportProgressCallback progress, void* context,
                         XmlNode* reply) override;
    HRESULT Recover(const TaskData_Recover* data, TransportProgressCallback progress, void* context,
                    XmlNode* reply) override;
    HRESULT PushNotify(const TaskData_PushNotify* data, TransportProgressCallback progress, void* context,
                       XmlNode* reply) override;
    HRESULT GetNormalItemSnapshot(const TaskData_ItemSnapshot* data, TransportProgressCallback progress,
                                  void* context, XmlNode* reply) override;
    HRESULT GetDeletedItemSnapshot(const TaskData_ItemSnapshot* data, TransportProgressCallback progress,
                                   void* context, XmlNode* reply) override;
    HRESULT GetAllShareFile(const TaskData_GetAllShareFile* data, TransportProgressCallback progress,
                            void* context, XmlNode* reply) override;
    HRESULT Dir(const TaskData_Dir* data, TransportProgressCallback progress, void* context,
                XmlNode* reply) override;
    HRESULT Delete(const TaskData_Delete* data, TransportProgressCallback progress, void* context,
                   XmlNode* reply) override;
    HRESULT DeleteEx(const TaskData_Delete* data, TransportProgressCallback progress, void* context,
                     XmlNode* reply) override;
    HRESULT Rename(const TaskData_Rename* data, TransportProgressCallback progress, void* context,
                   XmlNode* reply) override;
    HRESULT NewFolder(const TaskData_DirectoryAdd* data, TransportProgressCallback progress, void* context,
                      XmlNode* reply) override;
    HRESULT Move(const TaskData_Move* data, TransportProgressCallback progress, void* context,
                 XmlNode* reply) override;
    HRESULT MoveEx(const TaskData_Move* data, TransportProgressCallback progress, void* context,
                   XmlNode* reply) override;
    HRESULT NewFile(const TaskData_NewFile* data, TransportProgressCallback progress, void* context,
                    XmlNode* reply) override;
    HRESULT UpdateFile(const TaskData_UpdateFile* data, TransportProgressCallback progress, void* context,
                       XmlNode* reply) override;
    HRESULT _UploadFile(const TaskData_UpdateFile* data, TransportProgressCallback progress, void* context,
                        XmlNode* reply) override;
    HRESULT DownloadFile(const TaskData_DownloadFile* data, TransportProgressCallback progress, void* context,
                         XmlNode* reply) override;
    HRESULT DownloadFileStreaming(const TaskData_DownloadFile* data, const TransportDownloadSink& sink,
                                  TransportProgressCallback progress, void* context, XmlNode* reply) override;
    HRESULT GetThumbnail(const TaskData_GetThumbnail* data, TransportProgressCallback progress, void* context,
                         XmlNode* reply) override;
    HRESULT FullTextSearch(const TaskData_FullTextSearch* data, TransportProgressCallback progress,
                           void* context, XmlNode* reply) override;
    HRESULT GetItemInfo(const TaskData_GetItemInfo* data, TransportProgressCallback progress, void* context,
                        XmlNode* reply) override;
    HRESULT ShareFile(const TaskData_ShareFile* data, TransportProgressCallback progress, void* context,
                      XmlNode* reply) override;
    HRESULT SetFileModTime(const TaskData_UpdateFile* data, TransportProgressCallback progress, void* context,
                           XmlNode* reply) override;

private:
    CRemoteStorage() = default;
    ~CRemoteStorage() override = default;

    // Builds the operation's document from the values (in field order) and
    // runs it through the request path.
    static HRESULT _RunOperation(RemoteOperationId id, const std::vector<std::wstring>& values,
                                 TransportProgressCallback progress, void* context, XmlNode* reply);
    // One text exchange: root + path, a POST of the document or, without one,
    // a GET; the reply text is judged into the reply node.
    static HRESULT _HttpRequest(const RemoteOperation& operation, const std::wstring& path,
                                const std::wstring* document, TransportProgressCallback progress,
                                void* context, XmlNode& reply);
    static HRESULT _RequestDownload(const TaskData_DownloadFile& data, TransportProgressCallback progress,
                                    void* context, XmlNode& reply);
    // maxBytes bounds the content written (negative: no bound).
    // sinkSawAll tells whether the transport handed every byte to the sink.
    static HRESULT _DownloadFile(const std::wstring& url, const std::wstring& stub, bool previousVersion,
                                 const std::wstring& downloadPath, int64_t maxBytes,
                                 const TransportDownloadSink& sink, TransportProgressCallback progress,
                                 void* context, bool* sinkSawAll);
};
