#pragma once

#include "host/MergeReport.h"

#include <ogrsf_frmts.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Reads and converts the inputs' features on a second thread while the caller writes them, so
// reading and writing use both cores. Batches keep input order; the queue is bounded, so memory
// stays flat whatever the inputs hold.
class FeaturePipeline {
public:
    struct Batch {
        std::size_t input = 0;      // index of the input the features come from
        std::int64_t consumed = 0;  // input features this batch accounts for (progress)
        std::vector<OGRFeatureUniquePtr> features;  // ready to write
        MergeReport refused;                        // otherGeometry, unreadable, unreadableInputs
    };

    // `decodeFrom[i]`: the code page to decode input i's text from; empty keeps bytes.
    // `fieldNames`: the output fields' names as text, for matching the inputs' fields.
    FeaturePipeline(std::vector<QString> shpPaths, std::vector<QByteArray> decodeFrom,
                    OGRFeatureDefn& outputDefn, QStringList fieldNames,
                    OGRwkbGeometryType outputType);
    // Stops the reader and waits for it.
    ~FeaturePipeline();
    FeaturePipeline(const FeaturePipeline&) = delete;
    FeaturePipeline& operator=(const FeaturePipeline&) = delete;

    // The next batch; nullopt after the last. Rethrows an error of the reader.
    std::optional<Batch> next();
    // Hands written features back: the reader refills them, so their memory is freed and
    // reused on the reading thread, not on the writing one.
    void recycle(std::vector<OGRFeatureUniquePtr>&& features);

private:
    void read();
    void readInput(std::size_t index, class FeatureCopier& copier, class GdalErrorCapture& errors);
    bool push(Batch& batch);  // false when stopped
    bool stopped();
    OGRFeatureUniquePtr freshFeature();

    std::vector<QString> m_paths;
    std::vector<QByteArray> m_decodeFrom;
    OGRFeatureDefn& m_outputDefn;
    QStringList m_fieldNames;
    OGRwkbGeometryType m_outputType;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue;
    std::vector<OGRFeatureUniquePtr> m_spent;     // written features, shared under the mutex
    std::vector<OGRFeatureUniquePtr> m_reusable;  // the reader's own
    bool m_finished = false;
    bool m_stopped = false;
    std::exception_ptr m_error;
    std::thread m_reader;
};
