#include "ui/middlewindow/explorerwindow/thumbnailworker.h"

#include <QFileInfo>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "core/coreapp/coreaccess.h"
#include "platform/workerthread.h"
#include "ui/middlewindow/explorerwindow/thumbnailtile.h"

struct CThumbnailWorker::Shared {
    std::mutex lock;
    std::condition_variable wake;
    std::deque<ThumbnailRequest> queue;
    quint64 generation = 0;
    bool quit = false;
    bool working = false;
    Fetch fetch;
    // The object reports go to; cleared before it goes away, under the lock.
    CThumbnailWorker* receiver = nullptr;
};

namespace {

int MakeOne(const ThumbnailRequest& r, const CThumbnailWorker::Fetch& fetch) {
    if (r.cachePath.empty())
        return kThumbnailFailed;
    const QString cache = QString::fromStdWString(r.cachePath);
    if (QFileInfo::exists(cache))
        return kThumbnailLoaded;
    const QString local = QString::fromStdWString(r.localPath);
    if (!local.isEmpty() && QFileInfo(local).isFile()) {
        // A picture that cannot be shrunk leaves no cache file: the tile shows the icon only.
        MakeThumbnailFromLocal(local, cache);
        return kThumbnailLoaded;
    }
    return fetch && fetch(r.fileId, r.cachePath) == S_OK ? kThumbnailLoaded : kThumbnailFailed;
}

}  // namespace

CThumbnailWorker::CThumbnailWorker(QObject* parent)
    : QObject(parent), shared_(std::make_shared<Shared>()), thread_(std::make_unique<CWorkerThread>()) {
    shared_->receiver = this;
    shared_->fetch = [](const std::wstring& fileId, const std::wstring& cachePath) {
        return GetCoreAccess().GetThumbnail(fileId, cachePath, kThumbnailSide, kThumbnailSide);
    };
    std::shared_ptr<Shared> shared = shared_;
    thread_->Start([shared](const CWorkerThread::StopToken&) {
        std::unique_lock<std::mutex> lock(shared->lock);
        for (;;) {
            shared->wake.wait(lock, [&] { return shared->quit || !shared->queue.empty(); });
            if (shared->quit)
                return;
            const ThumbnailRequest request = shared->queue.front();
            shared->queue.pop_front();
            const quint64 generation = shared->generation;
            const Fetch fetch = shared->fetch;
            shared->working = true;
            lock.unlock();
            const int state = MakeOne(request, fetch);
            lock.lock();
            shared->working = false;
            if (shared->receiver && generation == shared->generation) {
                CThumbnailWorker* receiver = shared->receiver;
                const QString id = QString::fromStdWString(request.fileId);
                const QString cache = QString::fromStdWString(request.cachePath);
                const int index = request.itemIndex;
                QMetaObject::invokeMethod(
                    receiver,
                    [receiver, generation, index, id, cache, state] {
                        emit receiver->tileDone(generation, index, id, cache, state);
                    },
                    Qt::QueuedConnection);
            }
        }
    });
}

CThumbnailWorker::~CThumbnailWorker() {
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->receiver = nullptr;
        shared_->quit = true;
        shared_->queue.clear();
    }
    shared_->wake.notify_all();
    thread_->StopAndJoin(5000, L"CThumbnailWorker: the preview worker did not stop in time.");
}

void CThumbnailWorker::SetFetch(Fetch fetch) {
    std::lock_guard<std::mutex> guard(shared_->lock);
    shared_->fetch = std::move(fetch);
}

quint64 CThumbnailWorker::Start(std::vector<ThumbnailRequest> requests) {
    quint64 generation = 0;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        generation = ++shared_->generation;
        shared_->queue.assign(requests.begin(), requests.end());
    }
    shared_->wake.notify_all();
    return generation;
}

void CThumbnailWorker::Stop() {
    Start({});
}

quint64 CThumbnailWorker::Generation() const {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return shared_->generation;
}

bool CThumbnailWorker::Busy() const {
    std::lock_guard<std::mutex> guard(shared_->lock);
    return shared_->working || !shared_->queue.empty();
}
