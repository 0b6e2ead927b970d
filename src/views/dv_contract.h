#pragma once
// The contract's header: read-only fields of the contract's identity, its
// dates and its check value, and the description below them, which takes
// the rest of the view.

#include "views/dv.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kestrel {

class CDV_Contract : public CDV {
    Q_OBJECT
public:
    explicit CDV_Contract(QWidget* parent = nullptr);

    // The field texts, as the view shows them.
    // A project id of several lines is "Multiple".
    static QString ProjectIdText(const QString& projectId);
    // No county: empty; one: its name; several: "Multiple".
    static QString CountyText(const CContract& contract);
    // Line breaks become blanks.
    static QString DescriptionText(const QString& description);
    static QString CheckText(uint32_t check);

    QLineEdit* Field(const QString& caption) const;
    QPlainTextEdit* Description() const { return m_description; }

protected:
    void OnInitialUpdate() override;
    void OnContractChanged(const ChangeEvent& event) override;
    void OnFormResized() override;

private:
    QLineEdit* AddField(const QString& caption, int row, int column, int span = 1);
    void Fill();

    QList<QPair<QString, QLineEdit*>> m_fields;
    QPlainTextEdit* m_description = nullptr;
};

} // namespace kestrel
