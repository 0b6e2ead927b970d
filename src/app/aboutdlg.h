#pragma once
// "About Tollgate Kestrel": the program's picture with its release, and an
// OK button. OK with the Shift key held shows the credits and leaves the box
// open.

#include <QDialog>

#include <functional>
#include <optional>

class QPushButton;

namespace kestrel {

// The program's version, a.b.c.d.
struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int patch = 0;
    int build = 0;
};
// The version this program was built as.
ProgramVersion CurrentVersion();
// The release as the About box shows it: "a.b" and the letter of c ('a' for
// 0), then "-d" when d is not 0 (1.0.2.0 reads 1.0c, 1.0.2.5 reads 1.0c-5).
QString ReleaseText(const ProgramVersion& version);

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QPushButton* OkButton() const { return m_ok; }
    // "Release 1.0c"
    QString ReleaseLine() const;
    // What Shift+OK does; the program shows the credits window.
    using CreditsRunner = std::function<void(QWidget* parent)>;
    void SetCreditsRunner(CreditsRunner runner) { m_credits = std::move(runner); }
    // OK: with Shift the credits, else the box closes.
    void OnOK(Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* m_ok = nullptr;
    std::optional<Qt::KeyboardModifiers> m_pressModifiers;
    CreditsRunner m_credits;
};

} // namespace kestrel
