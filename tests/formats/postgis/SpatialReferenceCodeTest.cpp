// EPSG codes for the .prj files GIS software writes, and SRID 0 with a warning for the rest.
#include "formats/postgis/SpatialReferenceCode.h"
#include "gdal/SpatialReference.h"

#include <gtest/gtest.h>

#include <ogr_spatialref.h>

namespace {
// The .prj text Esri software writes for an EPSG coordinate system.
QByteArray esriPrj(int epsg) {
    OGRSpatialReference srs;
    srs.importFromEPSG(epsg);
    return SpatialReference::esriWkt(srs);
}
}  // namespace

TEST(SpatialReferenceCodeTest, PrjFilesGetTheirEpsgCodeOrZeroWithAWarning) {
    const struct {
        const char* name;
        QByteArray prj;
        int srid;
    } cases[] = {
        {"Wgs84", esriPrj(4326), 4326},
        {"Utm37N", esriPrj(32637), 32637},
        {"Pulkovo1942Zone7", esriPrj(28407), 28407},
        {"WebMercator", esriPrj(3857), 3857},
        {"Local", "LOCAL_CS[\"sheet grid\",UNIT[\"Meter\",1.0]]", 0},
        {"CustomTransverseMercator",
         "PROJCS[\"Local zone\",GEOGCS[\"GCS_Pulkovo_1942\",DATUM[\"D_Pulkovo_1942\",SPHEROID["
         "\"Krasovsky_1940\",6378245.0,298.3]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\","
         "0.0174532925199433]],PROJECTION[\"Transverse_Mercator\"],PARAMETER[\"False_Easting\","
         "1300000.0],PARAMETER[\"False_Northing\",-5412900.566],PARAMETER[\"Central_Meridian\","
         "38.48333333333],PARAMETER[\"Scale_Factor\",1.0],PARAMETER[\"Latitude_Of_Origin\",0.0],"
         "UNIT[\"Meter\",1.0]]",
         0},
        {"Garbage", "this is not a coordinate system", 0},
        {"Empty", "", 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const QString path = QString::fromLatin1(test.name) + ".prj";
        const SridChoice choice = sridOf(SpatialReference::fromPrj(test.prj).get(), path);
        EXPECT_EQ(choice.srid, test.srid);
        EXPECT_EQ(choice.warning.isEmpty(), test.srid != 0);
        if (test.srid == 0) {
            EXPECT_TRUE(choice.warning.contains(path)) << choice.warning.toStdString();
            EXPECT_TRUE(choice.warning.contains(QLatin1String("SRID 0")));
        }
    }
    EXPECT_EQ(sridOf(nullptr, "missing.prj").srid, 0);
    EXPECT_FALSE(sridOf(nullptr, "missing.prj").warning.isEmpty());
}
