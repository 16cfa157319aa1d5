#pragma once

#include "formats/MergeOutput.h"
#include "merge/CoordinateSystemPlan.h"
#include "merge/MergeProgressTracker.h"
#include "merge/MergeReport.h"
#include "platform/DbfTableHeader.h"
#include "platform/WorkerPool.h"
#include "shapefile/ShapefileProbe.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <vector>

// One input of the merge and how its text and coordinates reach the output.
struct MergeInput {
    ShapefileProbePtr probe;
    QByteArray decodeFrom;  // empty: the text keeps its bytes
    QByteArray namesPage;   // the code page its field names are read in
    CoordinateSystemPlan::Decision system;

    OutputSchema::Input schemaInput() const {
        const auto& table = probe->table();
        return {table ? &*table : nullptr, namesPage, !decodeFrom.isEmpty()};
    }
};

// Threads that reproject records on every core, each with transformers of its own (PROJ's
// objects must not cross threads), made on first use and kept for the merge.
class ReprojectionWorkers {
public:
    explicit ReprojectionWorkers(std::vector<CoordinateSystemPlan::Source> sources);
    // The transformers end in the threads that made them.
    ~ReprojectionWorkers();
    ReprojectionWorkers(const ReprojectionWorkers&) = delete;
    ReprojectionWorkers& operator=(const ReprojectionWorkers&) = delete;

    WorkerPool& pool() { return m_pool; }
    // Worker `worker`'s transformer from source `source` into the output's system; null when
    // none can be made. Called on that worker's thread only.
    PointTransformer* transformer(int worker, int source);
    const QString& sourceDescription(int source) const { return m_sources[source].description; }

private:
    std::vector<CoordinateSystemPlan::Source> m_sources;
    std::vector<std::map<int, std::unique_ptr<PointTransformer>>> m_transformers;  // by worker
    WorkerPool m_pool;  // last: its threads end before what they use
};

// Copies every record of `input` that the output can take into `output`, and counts the fate
// of each in `report`. `workers` reproject the records of an input in another system.
void copyInput(const MergeInput& input, const OutputSchema& schema, MergeOutput& output,
               MergeProgressTracker& progress, MergeReport& report, ReprojectionWorkers& workers);
