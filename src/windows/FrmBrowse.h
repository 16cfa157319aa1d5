#pragma once

#include "platform/widgets/DataControl.h"
#include "platform/widgets/ModalLoop.h"
#include "platform/widgets/WindowScale.h"
#include "windows/DbfTableModel.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QTableView>

// The table viewer: shows the attribute table of one shapefile, modally and on top. One
// instance per loaded library; its controls are created at each load and destroyed at close.
class FrmBrowse : public QObject {
    Q_OBJECT
public:
    static FrmBrowse& instance();

    // Opens the attribute table beside the shapefile `shpPath` and shows it modally; returns
    // after the viewer closes. A failed opening shows nothing and returns false.
    bool openFor(const QString& shpPath);
    // The opening without the modal display: loads the controls, binds the table and repaints
    // the grid; false, silently, when any step fails. The caller then shows form().
    bool prepareOpen(const QString& shpPath);

    void Load();
    void Unload();
    bool isLoaded() const { return !m_form.isNull(); }

    // The loaded controls, null while unloaded.
    QDialog* form() const { return m_form.data(); }
    QTableView* MSFlexGrid1() const { return m_grid.data(); }
    DataControl* Data1() const { return m_data.data(); }
    DbfTableModel* model() const { return m_model.data(); }

    void Form_Load();
    void Form_Resize();
    void Form_Activate();
    void Form_Deactivate();
    void MSFlexGrid1_KeyDown(int keyCode);

    // Sizes in twips after a resize: the grid fills the window less the margins measured at
    // load (the whole window measure when that leaves 10 or less), the data control 5 below it.
    struct Layout {
        int gridWidth;
        int gridHeight;
        int dataTop;
    };
    static Layout resizeRule(int windowWidth, int windowHeight, int horizontalMargin,
                             int verticalMargin);

    int horizontalMargin() const { return m_horizontalMargin; }
    int verticalMargin() const { return m_verticalMargin; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FrmBrowse() = default;
    void createControls();
    void styleFixedColumn();
    void fitColumnsToFirstScreen();

    QPointer<QDialog> m_form;
    QPointer<QTableView> m_grid;
    QPointer<DataControl> m_data;
    QPointer<DbfTableModel> m_model;
    WindowScale m_scale;
    int m_horizontalMargin = 0;
    int m_verticalMargin = 0;
    ModalLoop m_modal;
};
