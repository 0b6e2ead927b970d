#pragma once
// A form built at run time from a form definition of the contract (the
// subcontractor form, the miscellaneous-data form): controls at the places
// the form's layout computes from the form font, label text painted around
// them, each field showing what the edit layer shows of the bound record.
//
// A field is stored when it is left, on Tab and Enter, and when a drop-down's
// entry is chosen, always through the edit layer and the document; the form
// then shows the record again from the change signal. A refused entry is
// told once, after the focus change is over: the form beeps, shows the
// message and takes the focus back to the field with its text selected;
// nothing is stored. The form never computes, sets a flag or runs the check.

#include <QFont>
#include <QPoint>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "calc/result.h"
#include "edit/contractedits.h"
#include "edit/fieldrules.h"
#include "edit/formlayout.h"
#include "views/dv2.h"

namespace kestrel {

class CFormField;
class CFormLabels;
class CFormMarks;
class CSubcontract;
class CWinMeta;
enum class CommitMode;

class CDV_Template : public CDV2 {
    Q_OBJECT
public:
    // The control id of field 0; each field's id is this plus its index.
    static constexpr int kFirstControlId = 5000;

    explicit CDV_Template(QWidget* parent = nullptr);
    ~CDV_Template() override;

    // --- what the form is made of ---------------------------------------
    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    // The field's control; null for a field without one (or no field).
    QWidget* FieldControl(int field) const;
    CFormField* FormField(int field) const;
    const FormLayout& Layout() const { return m_layout; }
    // Where the layout's origin lies on the form.
    QPoint Origin() const { return m_origin; }
    CFormLabels* Labels() const { return m_labels; }
    CFormMarks* Marks() const { return m_marks; }
    // The fields Tab and Enter visit, in order.
    const std::vector<int>& TabOrder() const { return m_tabOrder; }
    // The field's help text; in debug mode "Name:%s ID:%d Help:%s".
    QString ToolTipText(int field) const;
    // The field's caption as its accessible name, its help as the
    // description (the form paints its labels: no label names the control).
    void NameControl(int field, QWidget* control) const;
    // Whether the fields show their tooltips ("Show Subcontract Tooltips").
    bool ShowsToolTips() const;
    // The fields marked as required in the bound record and empty.
    std::vector<int> MarkedFields() const;
    // What the form shows of its record, as last shown.
    const FormDisplay& Display() const { return m_display; }
    // The faces tried for a form font named `face`: that face, a
    // metric-compatible one the system has, the program's font.
    static QStringList FontFamilies(const QString& face);

    // --- the form's operations, in the program's order ------------------
    // Shows the stored value of one field (its list filled first).
    virtual void ShowFieldValue(int field);
    // Puts the entries of a field's list into its control.
    virtual void FillFieldList(int field);
    // Shows the bound record again, every field.
    virtual void ShowAllFieldValues();
    // Stores what the user entered into the field of that control id (its
    // text, or its drop-down's choice). False when refused.
    virtual bool StoreFieldValue(int controlId);
    // The form definition; null when no contract is open (or it has none).
    virtual CWinMeta* GetFormMeta() const = 0;
    // The record with that index of the form's table; the bound one for -1.
    virtual CSubcontract* GetCurrentRecord(int index = -1) const = 0;
    // After each change: the marks and (on the subcontractor form) the
    // status line follow the record.
    virtual void RefreshAfterChange();

protected:
    QFont CreateFormFont(int extraHeight, int weight) override;
    void OnInitialUpdate() override;
    void OnRebind() override;
    void OnContractChanged(const ChangeEvent& event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Room above the form's first line (the subcontractor form's status line).
    virtual int TopBand() const { return 0; }
    // Once the controls are built.
    virtual void OnFormBuilt() {}
    // Whenever the form's size changed.
    virtual void OnFormSized() {}
    // Stores through the edit layer: `edit` makes the change (the form is
    // shown again from its signal), a refusal is told once the focus change
    // is over. False when refused.
    bool ApplyFieldEdit(int field,
                        const std::function<EditResult(CContractEdits&, CWinMeta&, CSubcontract&)>& edit);
    bool IsBuilt() const { return m_built; }

private:
    struct PendingRefusal {
        int field = -1;
        ErrorInfo error;
        const CSubcontract* record = nullptr;
    };

    void BuildForm();
    // The label runs, where the layout puts them; returns how far right
    // their text reaches.
    int PlaceLabels();
    void PlaceControls();
    void SetTabOrder(const CWinMeta& meta);
    void ConnectControl(CFormField& field);
    void OnFieldLeft(int field, Qt::FocusReason reason);
    // Stores the field being typed into (the document is about to save, or
    // the form to be left).
    void CommitTyping(CommitMode mode);
    void OnNavigate(int field, bool backward);
    void OnChoice(int field, int index);
    void Refuse(int field, ErrorInfo error);
    void ShowPendingRefusal();
    void ShowRecord(bool keepTyping);
    void UpdateMarks();
    void FitForm();
    void WarnMissingLists();
    void FocusField(int field);
    // The field is being typed into (it has the focus and its text changed).
    bool IsBeingTyped(const CFormField& field) const;

    FormLayout m_layout;
    std::vector<std::unique_ptr<CFormField>> m_fields; // one per field, null without a control
    std::vector<int> m_tabOrder;
    FormDisplay m_display;
    CFormLabels* m_labels = nullptr;
    CFormMarks* m_marks = nullptr;
    QPoint m_origin;
    QSize m_content;
    std::optional<PendingRefusal> m_pending;
    int m_storing = -1;       // the field being stored
    bool m_keepTyping = true; // showing the record keeps a field being typed into
    uint64_t m_shown = 0;     // how often the record was shown
    bool m_built = false;
    bool m_closing = false;
    bool m_quiet = false; // storing in the background: a refusal is not told
};

} // namespace kestrel
