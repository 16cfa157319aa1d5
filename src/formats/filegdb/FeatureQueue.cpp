#include "formats/filegdb/FeatureQueue.h"

#include "gdal/GdalErrorCapture.h"
#include "platform/FileEntry.h"

#include <cerrno>

FeatureQueue::FeatureQueue(OGRLayer& layer, const QString& description, std::size_t batchSize,
                           std::size_t batches)
    : m_layer(layer),
      m_definition(layer.GetLayerDefn()),
      m_description(description),
      m_batchSize(batchSize),
      m_capacity(batchSize * batches),
      m_thread([this] { run(); }) {}

FeatureQueue::~FeatureQueue() {
    stop();
}

void FeatureQueue::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
        m_pending.clear();
    }
    m_queued.notify_one();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void FeatureQueue::throwIfFailed() const {
    if (m_failure) {
        throw FileGdbError(FileGdbFailure::Other, *m_failure);
    }
}

OGRFeatureUniquePtr FeatureQueue::take() {
    if (m_spare.empty()) {
        std::unique_lock lock(m_mutex);
        m_freed.wait(lock,
                     [this] { return m_failure || !m_written.empty() || m_created < m_capacity; });
        throwIfFailed();
        m_spare.swap(m_written);
    }
    if (!m_spare.empty()) {
        OGRFeatureUniquePtr feature = std::move(m_spare.back());
        m_spare.pop_back();
        return feature;
    }
    ++m_created;
    return OGRFeatureUniquePtr(OGRFeature::CreateFeature(m_definition));
}

void FeatureQueue::push(OGRFeatureUniquePtr feature) {
    m_filling.push_back(std::move(feature));
    if (m_filling.size() >= m_batchSize) {
        send();
    }
}

void FeatureQueue::send() {
    {
        const std::lock_guard lock(m_mutex);
        throwIfFailed();
        m_pending.push_back(std::move(m_filling));
    }
    m_filling = Batch();
    m_filling.reserve(m_batchSize);
    m_queued.notify_one();
}

void FeatureQueue::finish() {
    if (!m_filling.empty()) {
        send();
    }
    {
        std::unique_lock lock(m_mutex);
        m_freed.wait(lock, [this] { return m_failure || (m_pending.empty() && !m_writing); });
        throwIfFailed();
    }
    stop();
}

void FeatureQueue::run() {
    // GDAL's error handlers are the thread's own: this one collects what the writes report.
    GdalErrorCapture errors;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_queued.wait(lock, [this] { return m_ending || !m_pending.empty(); });
        if (m_ending) {
            return;
        }
        Batch batch = std::move(m_pending.front());
        m_pending.pop_front();
        m_writing = true;
        lock.unlock();
        const std::optional<QString> failure = write(batch, errors);
        lock.lock();
        m_writing = false;
        if (failure) {
            m_failure = failure;
            m_pending.clear();
        }
        for (OGRFeatureUniquePtr& feature : batch) {
            m_written.push_back(std::move(feature));
        }
        m_freed.notify_one();
        if (m_failure) {
            return;
        }
    }
}

std::optional<QString> FeatureQueue::write(Batch& batch, const GdalErrorCapture& errors) {
    try {
        for (OGRFeatureUniquePtr& feature : batch) {
            feature->SetFID(OGRNullFID);
            errno = 0;
            if (m_layer.CreateFeature(feature.get()) != OGRERR_NONE) {
                // GDAL's text for a failed write is only "failed": the system's cause says more.
                const int cause = errno;
                const QString text =
                    errors
                        .error(QStringLiteral("A feature cannot be written to '%1'")
                                   .arg(m_description))
                        .description();
                return cause == 0
                           ? text
                           : QStringLiteral("%1 (%2)").arg(text, FileEntry::systemErrorText(cause));
            }
        }
    } catch (const std::exception& error) {  // out of memory: never past the thread's end
        return QStringLiteral("A feature cannot be written to '%1': %2")
            .arg(m_description, QString::fromLocal8Bit(error.what()));
    }
    return std::nullopt;
}
