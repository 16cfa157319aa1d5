#pragma once

#include "formats/filegdb/FileGdbError.h"
#include "gdal/GdalErrorCapture.h"

#include <ogrsf_frmts.h>

#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Hands features to a GDAL layer on a thread of its own, so that the caller reads and prepares
// the next features (values, geometries parsed from WKB) while GDAL encodes and writes the ones
// before: the two halves of a write take about as long each. Features go over in batches, so
// that the threads meet once per batch rather than once per feature, and at most
// `batches` batches are in flight, so memory stays flat however many features are written.
//
// While the queue lives, only its thread uses the layer (and its dataset); finish() or
// destruction gives them back to the caller.
class FeatureQueue {
public:
    FeatureQueue(OGRLayer& layer, const QString& description, std::size_t batchSize = 64,
                 std::size_t batches = 8);
    // Stops the thread; features not yet written are dropped.
    ~FeatureQueue();
    FeatureQueue(const FeatureQueue&) = delete;
    FeatureQueue& operator=(const FeatureQueue&) = delete;

    // A feature of the layer's definition to fill, owned by the caller until push(): a new one
    // or one already written. Waits while all batches are in flight. Throws FileGdbError when
    // a write has failed.
    OGRFeatureUniquePtr take();
    // Queues `feature` to be written. Throws FileGdbError when a write has failed.
    void push(OGRFeatureUniquePtr feature);
    // Waits until every queued feature is written and stops the thread. Throws FileGdbError
    // when a write failed.
    void finish();

private:
    using Batch = std::vector<OGRFeatureUniquePtr>;

    void run();
    // Writes the batch; GDAL's text of the failure, if any.
    std::optional<QString> write(Batch& batch, const GdalErrorCapture& errors);
    void send();
    void throwIfFailed() const;  // with m_mutex held
    void stop();

    OGRLayer& m_layer;
    OGRFeatureDefn* m_definition;  // the layer's; read-only while writing
    QString m_description;
    std::size_t m_batchSize;
    std::size_t m_capacity;  // features in flight at most
    std::size_t m_created = 0;
    Batch m_filling;  // the caller's: filled features not yet sent
    Batch m_spare;    // the caller's: written features to fill again
    std::mutex m_mutex;
    std::condition_variable m_queued;  // a batch to write, or the end
    std::condition_variable m_freed;   // a batch written, or a failure
    std::deque<Batch> m_pending;
    Batch m_written;
    bool m_writing = false;  // the thread holds a batch
    bool m_ending = false;
    std::optional<QString> m_failure;
    std::thread m_thread;
};
