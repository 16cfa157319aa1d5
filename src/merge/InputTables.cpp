#include "merge/InputTables.h"

#include "formats/shapefile/ShapefileWorkspace.h"
#include "formats/shapefile/ShapefileWorkspaceFactory.h"
#include "host/FeatureLayer.h"
#include "host/PropertySet.h"
#include "platform/FileEntry.h"
#include "platform/WorkerPool.h"

#include <algorithm>
#include <atomic>

std::shared_ptr<IFeatureClass> GetFCFromFile(const QString& FullFileName, std::int64_t hWnd) {
    const qsizetype separator = FullFileName.lastIndexOf(QLatin1Char('/'));
    const QString folder = separator < 0 ? QString() : FullFileName.left(separator);
    const QString fileName = FullFileName.mid(separator + 1);
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (separator < 0 || dot < 0) {
        throw ConfluxError(ErrorNumber::InvalidProcedureCall,
                           QStringLiteral("Invalid procedure call or argument"));
    }
    PropertySet properties;
    // The root folder itself ("/roads.shp") keeps its separator.
    properties.SetProperty(QStringLiteral("DATABASE"),
                           folder.isEmpty() ? QStringLiteral("/") : folder);
    const ShapefileWorkspaceFactory factory;
    const auto workspace = factory.OpenFromPropertySet(properties, hWnd);
    // The file itself where it is one: "roads.SHP" beside "roads.shp" is another shapefile.
    const auto shapefiles = std::dynamic_pointer_cast<ShapefileWorkspace>(workspace);
    if (shapefiles && FileEntry::isRegularFile(FullFileName))
        return shapefiles->openFile(FullFileName);
    return workspace->OpenFeatureClass(fileName.left(dot));
}

std::vector<OpenedInput> openInputs(const QStringList& files, std::int64_t hWnd) {
    std::vector<OpenedInput> opened(static_cast<std::size_t>(files.size()));
    std::atomic<qsizetype> next = 0;
    WorkerPool pool(static_cast<int>(std::min<qsizetype>(WorkerPool::coreCount(), files.size())));
    pool.start([&](int) {
        for (qsizetype i = next++; i < files.size(); i = next++) {
            OpenedInput& input = opened[static_cast<std::size_t>(i)];
            try {
                input.featureClass = GetFCFromFile(files[i], hWnd);
            } catch (...) {
                input.failure = std::current_exception();
            }
        }
    });
    pool.wait();
    return opened;
}

void addInput(std::vector<std::shared_ptr<ITable>>& TablesArray, QStringList& TableNames,
              std::vector<std::int32_t>& ShapeTypes, qsizetype i,
              const std::shared_ptr<IFeatureClass>& featureClass) {
    const auto layer = std::make_shared<FeatureLayer>();
    layer->setFeatureClass(featureClass);
    const auto size = static_cast<std::size_t>(i) + 1;
    TablesArray.resize(size);
    ShapeTypes.resize(size);
    TableNames.resize(static_cast<qsizetype>(size));
    TablesArray[size - 1] = layer;  // the layer taken as a table
    TableNames[i] = layer->FeatureClass()->AliasName();
    ShapeTypes[size - 1] = layer->FeatureClass()->ShapeType();
}
