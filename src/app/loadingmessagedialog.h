#pragma once
// The small window shown while a contract and its reference lists load.

#include <QDialog>

namespace kestrel {

class CLoadingMessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit CLoadingMessageDialog(QWidget* parent = nullptr);
    // Shows the window and paints it at once (the load that follows keeps
    // the event loop busy).
    void ShowNow();
};

} // namespace kestrel
