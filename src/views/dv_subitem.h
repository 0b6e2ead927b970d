#pragma once
// The lower row of "Subcontractor Items": the entry of the contract line
// the grid above points at, for the subcontractor the view is bound to.
// "Subcontract this item to this vendor" subcontracts the line or takes it
// back (with its lower-tier copies), "Partial item" marks it as partial;
// the quantity, unit price, total and notes are stored when their field is
// left or Enter is pressed. Every rule is the edit layer's: a refused
// entry (an Ironbark quantity below what was received) puts the old value
// back and its message is shown once the focus has moved, after which the
// focus returns to the field. The view redraws from the document's change
// signals, like the grid and the tree.

#include <QString>

#include <array>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "edit/contractedits.h"
#include "views/dv.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kestrel {

class CRefusalNotice;
enum class CommitMode;

class CDV_SubItem : public CDV {
    Q_OBJECT
public:
    explicit CDV_SubItem(QWidget* parent = nullptr);
    ~CDV_SubItem() override;

    // Shows a contract line (empty: none): the grid's current row changed.
    void ShowItem(const std::string& line);
    const std::string& Line() const { return m_line; }
    const SubItemDisplay& Display() const { return m_display; }

    QCheckBox* UseBox() const { return m_use; }
    QCheckBox* PartialBox() const { return m_partial; }
    QLabel* VendorLabel() const { return m_vendor; }
    QLabel* LineLabel() const { return m_lineNumber; }
    QLabel* ItemNumberLabel() const { return m_itemNumber; }
    QLabel* AltCodeLabel() const { return m_altCode; }
    QLabel* DescriptionLabel() const { return m_description; }
    QLabel* UnitLabel() const { return m_unit; }
    QLabel* MarkLabel() const { return m_mark; }
    QLineEdit* QuantityEdit() const { return m_quantity; }
    QLineEdit* UnitPriceEdit() const { return m_unitPrice; }
    QLineEdit* ExtensionEdit() const { return m_extension; }
    QPlainTextEdit* NotesEdit() const { return m_notes; }
    CRefusalNotice* Notice() const { return m_notice; }

protected:
    void OnInitialUpdate() override;
    void OnContractChanged(const ChangeEvent& event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Field { FieldQuantity, FieldUnitPrice, FieldExtension, FieldNotes, FieldCount };

    void BuildForm();
    void BuildValues(QGridLayout& grid);
    void ShowVendor();
    void ShowNone();
    void Refresh(const SubItemDisplay& display);
    void RefreshFromContract();
    QString FieldText(Field field) const;
    void SetFieldText(Field field, const QString& text);
    QWidget* FieldWidget(Field field) const;
    void Store(Field field);
    // Stores the field being typed into (the contract is about to be saved,
    // or the view to be left).
    void CommitTyping(CommitMode mode);
    void Refused(Field field, const ErrorInfo& error);
    // A value typed that the evaluator cannot read (its message; empty:
    // the value was read): told in the status bar and kept as the field's
    // tooltip while the field has no value.
    using UnreadableKey = std::tuple<const CSubcontract*, std::string, int>;
    static QString FieldCaption(Field field);
    void NoteUnreadable(Field field, const QString& typed, const std::string& message);
    void ClearUnreadable(const UnreadableKey& key);
    void ShowUnreadable(const SubItemDisplay& display);
    // A click on one of the two boxes: the change it asks for, made or
    // refused; `shown` is what the box showed before the click.
    using BoxChange = std::function<EditResult(CContractEdits& edits, CSubcontract& record)>;
    void ApplyBox(QCheckBox* box, bool shown, bool allowed, const BoxChange& change);
    void OnUseClicked(bool checked);
    void OnPartialClicked(bool checked);
    bool AlternateUnits() const;

    std::string m_line;
    SubItemDisplay m_display;
    // What each field showed when last filled: a field left unchanged
    // stores nothing.
    std::array<QString, FieldCount> m_shown;
    std::map<UnreadableKey, QString> m_unreadable;
    bool m_closing = false;
    bool m_quiet = false; // storing in the background: a refusal is not told

    QCheckBox* m_use = nullptr;
    QCheckBox* m_partial = nullptr;
    QLabel* m_vendor = nullptr;
    QLabel* m_lineNumber = nullptr;
    QLabel* m_itemNumberCaption = nullptr;
    QLabel* m_itemNumber = nullptr;
    QLabel* m_altCode = nullptr;
    QLabel* m_description = nullptr;
    QLineEdit* m_quantity = nullptr;
    QLabel* m_unit = nullptr;
    QLabel* m_mark = nullptr;
    QLineEdit* m_unitPrice = nullptr;
    QLineEdit* m_extension = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    CRefusalNotice* m_notice = nullptr;
};

} // namespace kestrel
