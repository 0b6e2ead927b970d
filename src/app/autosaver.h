#pragma once
// Autosave: while the open contract has changes that are not saved, a
// recovery copy of it is written now and then (a few seconds after the
// user stops, and at the latest every few minutes while he goes on), into
// the program's recovery folder and never over the user's file. A save,
// an undo back to the saved state, closing the contract and a clean exit
// remove the copy; a crash leaves it for the next start to offer.

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <set>
#include <vector>

#include "file/recovery.h"

class QWidget;

namespace kestrel {

class CAsker;
class CSubDoc;

class CAutoSaver : public QObject {
    Q_OBJECT
public:
    CAutoSaver(CSubDoc& doc, const QString& folder, QObject* parent = nullptr);
    ~CAutoSaver() override;

    // The recovery folder for the user settings: beside the INI file when
    // one is named ("<ini folder>/recovery"), else the program's data
    // folder of the user.
    static QString FolderFor(const QString& iniPath);

    CRecoveryStore& Store() { return m_store; }
    // How long after the last change the copy is written, and how often at
    // the latest while changes go on.
    void SetIntervals(int idleMs, int periodMs);
    // Whether there are changes the copy does not hold yet.
    bool Pending() const { return m_pending; }
    // Writes the copy now when there are changes it does not hold.
    bool SaveNow();
    // A clean end of the program: the copy goes.
    void Finish();

    // At start-up: offers each copy a crashed run left behind, newest
    // first ("Recover", "Discard", "Later"); the first one recovered is
    // opened (a single document holds one contract) and the others stay
    // for later. Returns whether a contract was recovered.
    bool OfferRecovery(QWidget* parent, CAsker& asker);
    // When a contract is opened that a crashed run left a copy of (one not
    // taken at the start, or left since): the same offer for it alone;
    // "Recover" puts the copy's changes in place of what was read.
    void OfferForOpenedContract();

signals:
    // A copy was written (its path) or could not be (the reason).
    void copyWritten(const QString& path);
    void copyFailed(const QString& reason);

private:
    void Changed();
    void RemoveCopy();
    // Whether the copy of the contract was left by a run that ended
    // without removing it.
    bool LeftBehindFor(const std::string& contractPath) const;

    CSubDoc& m_doc;
    CRecoveryStore m_store;
    QTimer m_idle;
    QTimer m_period;
    bool m_pending = false;
    std::string m_copyOf;          // the contract whose copy this run wrote (or recovered)
    std::set<std::string> m_later; // copies the user keeps for a later start
};

// The question at start-up for one copy: the file, where, and when it was
// saved.
QString RecoveryQuestion(const RecoveryCopy& copy);
// Asks it: 0 "Recover", 1 "Discard", anything else "Later".
int AskAboutRecoveryCopy(const RecoveryCopy& copy, QWidget* parent, CAsker& asker);

} // namespace kestrel
