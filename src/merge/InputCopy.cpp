#include "merge/InputCopy.h"

#include "shapefile/ShapeReprojection.h"
#include "shapefile/ShapefileReader.h"

#include <algorithm>

namespace {

// What becomes of one input record.
enum class Fate { Written, Deleted, Unreadable, NonFinite, OtherGeometry, NotReprojected };

Fate triage(QByteArrayView content, const char* row, ShapeKind kind, ShapeRecord& shape) {
    if (row && *row == '*') {
        return Fate::Deleted;  // a deleted row is no feature
    }
    switch (shape.parse(content.data(), content.size())) {
        case ShapeRecord::Status::Malformed:
            return Fate::Unreadable;
        case ShapeRecord::Status::NonFinite:
            return Fate::NonFinite;
        case ShapeRecord::Status::Ok:
            break;
    }
    return fitsKind(shape, kind) ? Fate::Written : Fate::OtherGeometry;
}

// Writes one record of fate Written, or counts its other fate. Returns whether it was written.
bool copyRecord(Fate fate, const ShapeRecord& shape, const char* row, const OutputSchema& schema,
                MergeOutput& output, MergeReport& report, std::int64_t& notReprojected) {
    switch (fate) {
        case Fate::Deleted:
            ++report.deletedRecords;
            return false;
        case Fate::Unreadable:
            ++report.unreadable;
            return false;
        case Fate::NonFinite:
            ++report.nonFinite;
            return false;
        case Fate::OtherGeometry:
            ++report.otherGeometry;
            return false;
        case Fate::NotReprojected:
            ++notReprojected;
            return false;
        case Fate::Written:
            break;
    }
    RowChanges changes;
    output.write(shape, row, changes);
    ++report.featuresWritten;
    report.withoutAttributes += !row && !schema.fields.empty();
    report.textShortened += changes.textShortened;
    report.numbersTooWide += changes.numberTooWide;
    report.notConvertible += changes.notConvertible;
    report.numbersRounded += changes.numberRounded;
    return true;
}

// What one input brought: features written and refused for their coordinates.
struct InputCounts {
    std::int64_t written = 0;
    std::int64_t notReprojected = 0;
};

// Records as they are, block by block.
void copyAsRead(ShapefileReader& reader, const OutputSchema& schema, MergeOutput& output,
                MergeProgressTracker& progress, MergeReport& report, InputCounts& counts) {
    ShapefileReader::Block block;
    ShapeRecord shape;
    ShapefileReader::Next next;
    while ((next = reader.next(block)) == ShapefileReader::Next::Block) {
        for (std::int64_t i = 0; i < block.count(); ++i) {
            const Fate fate = triage(block.shape(i), block.row(i), schema.kind, shape);
            counts.written += copyRecord(fate, shape, block.row(i), schema, output, report,
                                         counts.notReprojected);
        }
        progress.advance(block.count());
    }
    if (next == ShapefileReader::Next::Failed) {
        report.unreadable += reader.recordCount() - block.first();
    }
}

// One block of records on its way through the workers: what was read, then what became of it.
struct Flight {
    ShapefileReader::Block block;
    std::vector<QByteArrayView> contents;
    std::vector<Fate> fates;
    std::vector<ShapeRecord> shapes;
    std::vector<ShapeBatchReprojection> batches;     // one per worker
    std::vector<std::vector<std::int64_t>> batched;  // per worker: the records in its batch

    // Takes the block's records out of the reader's hands (each stays where the block holds it).
    void take() {
        contents.resize(static_cast<std::size_t>(block.count()));
        for (std::int64_t i = 0; i < block.count(); ++i) {
            contents[i] = block.shape(i);
        }
        fates.assign(contents.size(), Fate::Written);
        shapes.resize(contents.size());
    }

    // Worker `worker` of `workers` triages its share of the records and reprojects those to be
    // written; `transformer` null: none can be.
    void reproject(int worker, int workers, ShapeKind kind, PointTransformer* transformer) {
        const auto count = static_cast<std::int64_t>(contents.size());
        const std::int64_t begin = count * worker / workers;
        const std::int64_t end = count * (worker + 1) / workers;
        ShapeBatchReprojection& batch = batches[worker];
        std::vector<std::int64_t>& members = batched[worker];
        batch.clear();
        members.clear();
        for (std::int64_t i = begin; i < end; ++i) {
            fates[i] = triage(contents[i], block.row(i), kind, shapes[i]);
            if (fates[i] == Fate::Written && !shapes[i].isNull()) {
                batch.add(shapes[i]);
                members.push_back(i);
            }
        }
        if (transformer && batch.size() > 0) {
            batch.run(*transformer);
        }
        for (std::size_t k = 0; k < members.size(); ++k) {
            const std::int64_t i = members[k];
            if (!transformer || !batch.reprojected(k)) {
                fates[i] = Fate::NotReprojected;
            } else {
                const QByteArrayView content = batch.content(k);
                shapes[i].parse(content.data(), content.size());
            }
        }
    }
};

// While the workers reproject one block, the next is read and the one before written.
void copyReprojected(ShapefileReader& reader, int source, const OutputSchema& schema,
                     MergeOutput& output, MergeProgressTracker& progress, MergeReport& report,
                     ReprojectionWorkers& workers, InputCounts& counts) {
    const int threads = workers.pool().size();
    Flight flights[2];
    for (Flight& flight : flights) {
        flight.batches.resize(threads);
        flight.batched.resize(threads);
    }
    const auto launch = [&](Flight& flight) {
        flight.take();
        workers.pool().start([&flight, &workers, threads, source, kind = schema.kind](int worker) {
            flight.reproject(worker, threads, kind, workers.transformer(worker, source));
        });
    };
    // A failure while a block is in flight waits for the workers before the blocks go.
    struct Landing {
        WorkerPool& pool;
        bool inFlight = false;
        ~Landing() {
            if (inFlight) {
                try {
                    pool.wait();
                } catch (...) {
                    // The failure that left the flight on its way is the one reported.
                }
            }
        }
    } landing{workers.pool()};

    Flight* current = &flights[0];
    Flight* following = &flights[1];
    ShapefileReader::Next next = reader.next(current->block);
    if (next == ShapefileReader::Next::Block) {
        launch(*current);
        landing.inFlight = true;
    }
    while (next == ShapefileReader::Next::Block) {
        next = reader.next(following->block);
        landing.inFlight = false;
        workers.pool().wait();
        if (next == ShapefileReader::Next::Block) {
            launch(*following);
            landing.inFlight = true;
        }
        for (std::size_t i = 0; i < current->contents.size(); ++i) {
            const char* row = current->block.row(static_cast<std::int64_t>(i));
            counts.written += copyRecord(current->fates[i], current->shapes[i], row, schema, output,
                                         report, counts.notReprojected);
        }
        progress.advance(current->block.count());
        std::swap(current, following);
    }
    if (next == ShapefileReader::Next::Failed) {
        report.unreadable += reader.recordCount() - current->block.first();
    }
}

}  // namespace

ReprojectionWorkers::ReprojectionWorkers(std::vector<CoordinateSystemPlan::Source> sources)
    : m_sources(std::move(sources)),
      m_transformers(static_cast<std::size_t>(WorkerPool::coreCount())),
      m_pool(WorkerPool::coreCount()) {}

ReprojectionWorkers::~ReprojectionWorkers() {
    try {
        m_pool.wait();
        m_pool.start([this](int worker) { m_transformers[worker].clear(); });
        m_pool.wait();
    } catch (...) {
        // Nothing a transformer's end can throw is worth more than ending the merge.
    }
}

PointTransformer* ReprojectionWorkers::transformer(int worker, int source) {
    auto& made = m_transformers[worker];
    auto found = made.find(source);
    if (found == made.end()) {
        const auto& reprojection = m_sources[source].reprojection;
        found =
            made.emplace(source, reprojection ? reprojection->makeTransformer() : nullptr).first;
    }
    return found->second.get();
}

void copyInput(const MergeInput& input, const OutputSchema& schema, MergeOutput& output,
               MergeProgressTracker& progress, MergeReport& report, ReprojectionWorkers& workers) {
    std::optional<ShapefileReader> reader;
    try {
        reader.emplace(*input.probe);
    } catch (const ConfluxError&) {
        ++report.unreadableInputs;
        report.unreadable += input.probe->recordCount();
        return;
    }
    RowMapper rows(schema, input.schemaInput(), input.decodeFrom);
    if (output.beginInput(reader->shapeType(), rows)) {
        ++report.inputsCopiedAsBytes;
    }
    InputCounts counts;
    using Way = CoordinateSystemPlan::Way;
    const int source = input.system.source;
    if (input.system.way == Way::Reprojected) {
        copyReprojected(*reader, source, schema, output, progress, report, workers, counts);
    } else {
        copyAsRead(*reader, schema, output, progress, report, counts);
    }
    switch (input.system.way) {
        case Way::Reprojected: {
            auto& reprojections = report.reprojections;
            const QString& from = workers.sourceDescription(source);
            auto found = std::find_if(reprojections.begin(), reprojections.end(),
                                      [&](const auto& seen) { return seen.from == from; });
            if (found == reprojections.end()) {
                found = reprojections.insert(reprojections.end(), MergeReport::Reprojection{from});
            }
            found->written += counts.written;
            found->failed += counts.notReprojected;
            break;
        }
        case Way::TakenAsOutputs:
            report.takenAsOutputs += counts.written;
            break;
        case Way::SystemDropped:
            report.systemDropped += counts.written;
            break;
        case Way::AsRead:
            break;
    }
}
