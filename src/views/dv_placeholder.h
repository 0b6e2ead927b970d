#pragma once
// Stands in for a view that is not part of the program yet: it names the
// node it was opened for, so that the tree works end to end.

#include "views/dv.h"

class QLabel;

namespace kestrel {

class CSubStatusLine;

class CDV_Placeholder : public CDV {
    Q_OBJECT
public:
    // className: the view that will take this place.
    CDV_Placeholder(const QString& className, bool reusable, QWidget* parent = nullptr);
    bool IsReusable() const override { return m_reusable; }
    QString Heading() const;
    // The subcontractor's status line (the subcontractor view only).
    CSubStatusLine* StatusLine() const { return m_status; }

protected:
    void OnInitialUpdate() override;
    void OnContractChanged(const ChangeEvent& event) override;

private:
    void Show();

    QString m_className;
    bool m_reusable;
    QLabel* m_heading = nullptr;
    QLabel* m_note = nullptr;
    CSubStatusLine* m_status = nullptr;
};

} // namespace kestrel
