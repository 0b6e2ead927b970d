#pragma once
// The "Subcontractors" node: the contract's letting, call order, identity
// and number of subcontractors, and the subcontracted total, as a share of
// the contract total and as money.

#include "views/dv.h"

class QGroupBox;
class QLabel;

namespace kestrel {

class CDV_SubList : public CDV {
    Q_OBJECT
public:
    explicit CDV_SubList(QWidget* parent = nullptr);

    // subTotal / contractTotal x 100 in the percentage format, then "% ";
    // 0 when either total is blank or the contract total is 0.
    static QString PercentText(double subTotal, double contractTotal, int digits, int decimals);
    // The subcontracted total as money, 15 digits and 2 decimals, then " ".
    static QString TotalText(double subTotal);

    QLabel* PercentLabel() const { return m_percent; }
    QLabel* TotalLabel() const { return m_total; }
    QLabel* HeaderValue(int i) const { return m_headerValues[i]; }
    QGroupBox* TotalsBox() const { return m_box; }

protected:
    void OnInitialUpdate() override;
    void OnContractChanged(const ChangeEvent& event) override;
    void OnFormResized() override;

private:
    void Fill();
    void Layout();

    QFont m_font;
    QLabel* m_headerLabels[4] = {};
    QLabel* m_headerValues[4] = {};
    QGroupBox* m_box = nullptr;
    QLabel* m_caption = nullptr;
    QLabel* m_percent = nullptr;
    QLabel* m_or = nullptr;
    QLabel* m_total = nullptr;
    QLabel* m_note = nullptr;
};

} // namespace kestrel
