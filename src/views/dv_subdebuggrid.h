#pragma once
// The "Debug View" node of a subcontractor: every cell of its record beside
// the field of the form it belongs to, in a grid that fills the view and is
// not edited.

#include "views/dv.h"

class QTableView;

namespace kestrel {

class CCellDumpModel;

class CDV_SubDebugGrid : public CDV {
    Q_OBJECT
public:
    explicit CDV_SubDebugGrid(QWidget* parent = nullptr);

    QTableView* Grid() const { return m_grid; }
    CCellDumpModel* Model() const { return m_model; }

protected:
    void OnInitialUpdate() override;
    void OnContractChanged(const ChangeEvent& event) override;

private:
    void Fill();

    QTableView* m_grid = nullptr;
    CCellDumpModel* m_model = nullptr;
};

} // namespace kestrel
