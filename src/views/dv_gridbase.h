#pragma once
// What the two item grid views share: the grid filling the whole view, its
// fonts ("MS Sans Serif", bold: 12 pixels for the rows, 14 for the heading
// and section rows), its colours from the settings ("GridBkgColor" and
// "GridHiliteColor" when "BackgroundType" is 1, else the system's), the
// column widths set again whenever the grid's width changes, and the
// changes its cells make, applied through the document (a refusal's
// message shown once the edit is over).

#include "edit/contractedits.h"
#include "views/dv.h"

namespace kestrel {

class CGridDataSource;
class CGridView;
class CRefusalNotice;

class CDV_GridBase : public CDV {
    Q_OBJECT
public:
    explicit CDV_GridBase(QWidget* parent = nullptr);

    CGridView* Grid() const { return m_grid; }
    CRefusalNotice* Notice() const { return m_notice; }
    // The grids' font at a pixel height.
    static QFont GridFont(int pixelHeight);
    // The width of an average character of the rows' font.
    int CharWidth() const;

protected:
    // Binds the grid to its data source (again) and sets it up.
    void SetUpGrid(CGridDataSource* source);
    void ApplyGridColors();
    void OnColorHint() override;
    // The grid's width changed: the columns are sized again.
    virtual void FitColumns() {}
    // The contract is going: the data source lets go of it.
    virtual void ReleaseContract() {}
    // Applies a change a cell made; false when it was refused.
    bool CommitEdit(EditResult result);

private:
    CGridView* m_grid;
    CRefusalNotice* m_notice;
};

} // namespace kestrel
