#include "host/FeaturePipeline.h"

#include "formats/shapefile/ShapefileFiles.h"
#include "host/FeatureCopier.h"
#include "host/GdalOpen.h"

namespace {
constexpr std::size_t kFeaturesPerBatch = 256;
constexpr std::size_t kBatchesQueued = 8;
}  // namespace

FeaturePipeline::FeaturePipeline(std::vector<QString> shpPaths, std::vector<QByteArray> decodeFrom,
                                 OGRFeatureDefn& outputDefn, QStringList fieldNames,
                                 OGRwkbGeometryType outputType)
    : m_paths(std::move(shpPaths)),
      m_decodeFrom(std::move(decodeFrom)),
      m_outputDefn(outputDefn),
      m_fieldNames(std::move(fieldNames)),
      m_outputType(outputType),
      m_reader([this] { read(); }) {}

FeaturePipeline::~FeaturePipeline() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    m_reader.join();
}

std::optional<FeaturePipeline::Batch> FeaturePipeline::next() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_queue.empty() || m_finished; });
    if (!m_queue.empty()) {
        Batch batch = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        m_changed.notify_all();
        return batch;
    }
    if (m_error) {
        std::rethrow_exception(m_error);
    }
    return std::nullopt;
}

void FeaturePipeline::recycle(std::vector<OGRFeatureUniquePtr>&& features) {
    const std::lock_guard lock(m_mutex);
    if (m_spent.size() < kFeaturesPerBatch * kBatchesQueued) {
        for (auto& feature : features) {
            m_spent.push_back(std::move(feature));
        }
    }
}

OGRFeatureUniquePtr FeaturePipeline::freshFeature() {
    if (m_reusable.empty()) {
        const std::lock_guard lock(m_mutex);
        m_reusable.swap(m_spent);
    }
    if (m_reusable.empty()) {
        return OGRFeatureUniquePtr(new OGRFeature(&m_outputDefn));
    }
    OGRFeatureUniquePtr feature = std::move(m_reusable.back());
    m_reusable.pop_back();
    return feature;
}

bool FeaturePipeline::stopped() {
    const std::lock_guard lock(m_mutex);
    return m_stopped;
}

bool FeaturePipeline::push(Batch& batch) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < kBatchesQueued || m_stopped; });
    if (m_stopped) {
        return false;
    }
    m_queue.push_back(std::move(batch));
    lock.unlock();
    m_changed.notify_all();
    batch = Batch{};
    return true;
}

void FeaturePipeline::read() {
    try {
        GdalErrorCapture errors;  // this thread's own GDAL messages
        FeatureCopier copier(m_outputDefn, m_outputType, false, "UTF-8", m_fieldNames);
        for (std::size_t i = 0; i < m_paths.size() && !stopped(); ++i) {
            readInput(i, copier, errors);
        }
    } catch (...) {
        const std::lock_guard lock(m_mutex);
        m_error = std::current_exception();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_changed.notify_all();
}

void FeaturePipeline::readInput(std::size_t index, FeatureCopier& copier,
                                GdalErrorCapture& errors) {
    Batch batch;
    batch.input = index;
    GDALDatasetUniquePtr dataset;
    try {
        dataset = GdalOpen::shapefile(m_paths[index], true, errors);
    } catch (const ConfluxError&) {
        ++batch.refused.unreadableInputs;
        batch.refused.unreadable += ShapefileFiles::indexedRecords(m_paths[index]);
        push(batch);
        return;
    }
    OGRLayer* layer = dataset->GetLayer(0);
    copier.beginInput(*layer->GetLayerDefn(), m_decodeFrom[index]);
    qsizetype failures = errors.failureCount();
    for (;;) {
        OGRFeatureUniquePtr feature(layer->GetNextFeature());
        const bool failed = errors.failureCount() != failures;
        failures = errors.failureCount();
        if (!feature && !failed) {
            break;
        }
        ++batch.consumed;
        if (failed) {
            ++batch.refused.unreadable;
        } else {
            OGRFeatureUniquePtr converted = freshFeature();
            if (copier.convert(*feature, *converted) == FeatureCopier::Result::Written) {
                batch.features.push_back(std::move(converted));
            } else {
                ++batch.refused.otherGeometry;
            }
        }
        if (!feature) {
            break;
        }
        if (batch.features.size() >= kFeaturesPerBatch) {
            if (!push(batch)) {
                return;
            }
            batch.input = index;
        }
    }
    push(batch);
}
