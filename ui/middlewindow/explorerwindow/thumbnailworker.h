#pragma once
// The thumbnail view's one worker: it takes the picture rows of a listing,
// makes or fetches each preview into its cache file in row order, and reports
// every finished row to the GUI thread. Each new listing starts a new
// generation; rows of an older one are dropped, in the worker and again when
// their report arrives. The worker never sees the window's items.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hresult.h"

class CWorkerThread;

struct ThumbnailRequest {
    // Index of the item in the listing that asked.
    int itemIndex = -1;
    std::wstring fileId;
    // Empty when no safe cache path exists: the row fails.
    std::wstring cachePath;
    // A local copy to shrink when present; may be empty.
    std::wstring localPath;
};

class CThumbnailWorker : public QObject {
    Q_OBJECT
public:
    // Fetches the service's preview of the file into the cache path.
    using Fetch = std::function<HRESULT(const std::wstring& fileId, const std::wstring& cachePath)>;

    explicit CThumbnailWorker(QObject* parent = nullptr);
    // Stops the worker; a fetch still running after 5 s finishes detached.
    ~CThumbnailWorker() override;

    // The core's preview request by default.
    void SetFetch(Fetch fetch);
    // Begins a new generation with these rows and returns its number.
    quint64 Start(std::vector<ThumbnailRequest> requests);
    // Begins an empty generation: nothing more is reported for the old rows.
    void Stop();
    quint64 Generation() const;
    // True while rows of the current generation are waiting or being made.
    bool Busy() const;

signals:
    // GUI thread: one row of that generation is done (state 1 loaded, 0 failed).
    void tileDone(quint64 generation, int itemIndex, const QString& fileId, const QString& cachePath,
                  int state);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<CWorkerThread> thread_;
};
