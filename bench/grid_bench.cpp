// Candidate grid at scale: appending, sorting by name, and the name-list routines, each
// against filling a plain std::vector<QStringList> with the same rows in the same run.
#include "discovery/StringUtils.h"
#include "platform/widgets/FlexGrid.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr qsizetype RowCount = 100000;

// Candidate-like rows: path, field count, record count, base name (many repeated names).
QStringList makeRows() {
    std::mt19937 random(42);
    QStringList rows;
    rows.reserve(RowCount);
    for (qsizetype i = 0; i < RowCount; ++i) {
        const QString name = QStringLiteral("Слой_%1_layer").arg(random() % 40000);
        const QString path = QStringLiteral("/data/region_%1/sheet_%2/%3.shp")
                                 .arg(random() % 90)
                                 .arg(random() % 500)
                                 .arg(name);
        rows.append(QStringList{path, QString::number(random() % 60),
                                QString::number(random() % 250000), name}
                        .join(QLatin1Char('\t')));
    }
    return rows;
}

double seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void report(const char* what, double time, double baseline) {
    std::printf("%-34s %9.3f ms %8.3f us/row %6.2fx vector\n", what, time * 1e3,
                time * 1e6 / static_cast<double>(RowCount), time / baseline);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList rows = makeRows();

    QElapsedTimer timer;
    timer.start();
    std::vector<QStringList> plain;
    for (const QString& row : rows)
        plain.push_back(row.split(QLatin1Char('\t')));
    const double vectorFill = seconds(timer);

    FlexGrid grid;
    grid.setCols(4);
    grid.setFixedCols(0);
    grid.setColWidth(3, 0);
    grid.resize(600, 400);
    grid.show();
    QApplication::processEvents();
    grid.setRows(1);
    timer.restart();
    for (const QString& row : rows)
        grid.AddItem(row);
    QApplication::processEvents();
    const double gridFill = seconds(timer);

    timer.restart();
    grid.setCol(3);
    grid.setSort(FlexGrid::flexSortGenericAscending);
    grid.Refresh();
    QApplication::processEvents();
    const double sortUp = seconds(timer);

    timer.restart();
    grid.setCol(3);
    grid.setSort(FlexGrid::flexSortGenericDescending);
    grid.Refresh();
    QApplication::processEvents();
    const double sortDown = seconds(timer);

    QStringList names;
    names.reserve(RowCount);
    for (const QStringList& row : plain)
        names.append(row[3]);
    timer.restart();
    aSort(names, 0, true);
    const double sorted = seconds(timer);
    timer.restart();
    const auto distinct = UnicArray(names);
    const double unique = seconds(timer);

    std::printf("%lld candidate rows; %lld distinct names\n", static_cast<long long>(RowCount),
                static_cast<long long>(distinct ? distinct->size() : 0));
    report("vector<QStringList> fill", vectorFill, vectorFill);
    report("grid AddItem fill", gridFill, vectorFill);
    report("grid sort by name ascending", sortUp, vectorFill);
    report("grid sort by name descending", sortDown, vectorFill);
    report("aSort (TextComp) names", sorted, vectorFill);
    report("UnicArray names", unique, vectorFill);
    const bool fillOk = gridFill <= 3.0 * vectorFill;
    const bool totalOk = gridFill + sortUp + sortDown < 1.0;
    std::printf("grid fill <= 3x vector: %s; fill + both sorts < 1 s: %s (%.3f s)\n",
                fillOk ? "yes" : "NO", totalOk ? "yes" : "NO", gridFill + sortUp + sortDown);
    return fillOk && totalOk ? 0 : 1;
}
