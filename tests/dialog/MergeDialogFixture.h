#pragma once

#include "DialogFixture.h"

#include "support/FakeHost.h"
#include "support/ShapefileFixture.h"

#include <QTemporaryDir>

// The dialog over shapefiles built in a temporary folder, with an application that answers for
// the catalogue interface.
class MergeDialogFixture : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        dialog().state().m_pApp = std::make_shared<FakeApplication>();
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    // `count` features with ID 0..count-1: triangles, or segments for a line layer.
    QString polygons(const QString& name, int count, const QString& folder = {},
                     bool line = false) const {
        std::vector<ShapefileFixture::Feature> features;
        for (int i = 0; i < count; ++i) {
            const QString wkt =
                line ? QStringLiteral("LINESTRING (%1 0,%1 1)").arg(i)
                     : QStringLiteral("POLYGON ((%1 0,%1 1,%2 1,%1 0))").arg(i).arg(i + 1);
            features.push_back({wkt.toUtf8(), {QString::number(i)}});
        }
        return ShapefileFixture::write(folder.isEmpty() ? dir.path() : folder, name,
                                       line ? "LINESTRING" : "POLYGON", {{"ID", 'N', 9}}, features);
    }

    // Selects the candidate row of `file` and clicks the delete button.
    static void removeRow(const QString& file) {
        const qsizetype row = column(0).indexOf(file) + 1;
        ASSERT_GT(row, 0) << file.toStdString();
        grid().setRow(row);
        grid().setRowSel(row);
        QTest::mouseClick(form().CmdDelFile, Qt::LeftButton);
    }

    // Builds the inputs as the input list does.
    void buildInputs(const QStringList& files) {
        dialog().state().FilesList = files;
        ASSERT_EQ(dialog().UpdateTablesArrayFromDir(), 2);
    }

    QTemporaryDir dir;
};
