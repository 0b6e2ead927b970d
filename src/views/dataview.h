#pragma once
// The base of every view of the right-hand pane. A view is bound to its
// document, its node kind and its record before its first update; it owns
// no model data and redraws from the document's change signals. The colour
// hint (the settings' background changed) makes it re-read its background.

#include "views/coloredscrollview.h"
#include "views/editsupport.h"
#include "views/viewbinding.h"

namespace kestrel {

class CContract;
class CSubDoc;
struct ChangeEvent;

class CDataView : public CColoredScrollView, public CEditSupport {
    Q_OBJECT
public:
    explicit CDataView(QWidget* parent = nullptr);

    // Set by whoever creates the view, before InitialUpdate.
    void Bind(CSubDoc* doc, const ViewBinding& binding);
    // The first update, once, after binding; runs with redrawing off.
    void InitialUpdate();

    CSubDoc* Document() const { return m_doc; }
    CContract* Contract() const;
    TreeNodeKind Kind() const { return m_binding.kind; }
    const ViewBinding& Binding() const { return m_binding; }
    // The bound record while it is one of the contract's records, else null.
    CSubcontract* Record() const;
    // Its row in the subcontractor table, -1 when it is not there.
    int RecordIndex() const;

    // A view that is hidden and kept when the pane shows another node, and
    // bound again for the next node of its kind instead of being rebuilt.
    virtual bool IsReusable() const { return false; }
    // Binds a kept view to another record and shows that record.
    void Rebind(const ViewBinding& binding);

protected:
    virtual void OnInitialUpdate() {}
    virtual void OnRebind() { OnInitialUpdate(); }
    virtual void OnContractChanged(const ChangeEvent& /*event*/) {}
    virtual void OnContractSaved() {}
    // Hint 4660; the base re-reads the background and repaints.
    virtual void OnColorHint();
    void ApplyBackgroundSettings();

private:
    CSubDoc* m_doc = nullptr;
    ViewBinding m_binding;
    bool m_initialised = false;
};

} // namespace kestrel
