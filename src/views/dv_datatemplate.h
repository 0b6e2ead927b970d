#pragma once
// A data template of the contract, for the people who write the reports:
// its name (read-only) and its text, one template line a line.
// "Change Proposal" stores the text in the contract (through the edit layer,
// so the contract is marked modified and the change can be undone) once it
// compiles; "Change ZodEva.cfg" writes it as a section of the template
// section file chosen once for the run.
//
// The editor shows the whole text: a template is never stored back cut. The
// control characters a template may hold besides tabs and line ends (a form
// feed, a carriage return that ends no line) are shown as their visible
// symbols and stored back as they were.

#include <string>
#include <string_view>

#include "calc/result.h"
#include "views/dv.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kestrel {

class CDV_DataTemplate : public CDV {
    Q_OBJECT
public:
    explicit CDV_DataTemplate(QWidget* parent = nullptr);

    // Stored text as the editor shows it, and back (a character the
    // contract cannot hold is refused, named).
    static QString ShownText(std::string_view stored);
    static Result<std::string> StoredText(const QString& shown);

    // "Change Proposal": true when the text compiled and was stored.
    bool OnChangeProposal();
    // "Change ZodEva.cfg"
    void OnChangeSectionFile();

    QLineEdit* NameEdit() const { return m_name; }
    QPlainTextEdit* TextEdit() const { return m_text; }
    QPushButton* ProposalButton() const { return m_proposal; }
    QPushButton* SectionButton() const { return m_section; }
    // The editor's text as it would be stored, or the refusal of a
    // character the contract cannot hold.
    Result<std::string> EditedText() const;

protected:
    void OnInitialUpdate() override;
    void OnContractChanged(const ChangeEvent& event) override;

private:
    void ShowTemplate();
    void ShowPosition();

    std::string m_templateName;
    std::string m_shownStored; // the stored text the editor was last filled from
    QLineEdit* m_name = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_position = nullptr;
    QPushButton* m_proposal = nullptr;
    QPushButton* m_section = nullptr;
};

} // namespace kestrel
