#pragma once
// Autosave and crash recovery. While a contract has unsaved changes the
// program writes a recovery copy of it now and then into a folder of its
// own beside the user's settings, never over the user's file. Each contract
// path has one copy, "kestrel-<hash>.con" (the hash of the contract's
// absolute path), written through the safe file replacement with the
// contract file writer, and beside it a note "kestrel-<hash>.note" (an
// owner record, file/ownerrecord.h) that names the contract, when the copy
// was written and the program (process and host) that wrote it.
//
// A clean exit, a save, or the user declining to recover removes the copy.
// A copy whose program no longer runs was left behind by a crash: at the
// next start the program lists those and offers to take them back.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calc/result.h"
#include "file/ownerrecord.h"

namespace kestrel {

class CContract;

struct RecoveryCopy {
    std::string contractPath; // the contract it stands for (absolute)
    std::string copyPath;     // the recovery copy
    std::string notePath;     // its note
    int64_t savedAt = 0;      // when it was written, seconds since 1970 (UTC)
    OwnerRecord owner;        // the program that wrote it
    OwnerState ownerState = OwnerState::Unknown;
};

class CRecoveryStore {
public:
    // The folder is created (readable by the user alone) on the first save;
    // one that is a link, another user's or writable by others is refused.
    // Copies and notes are the user's alone (mode 0600), and whatever
    // stands at their names (a link, another's file) is replaced, never
    // followed.
    explicit CRecoveryStore(std::string folder);

    const std::string& Folder() const { return m_folder; }
    // Where the copy of the contract at contractPath goes.
    [[nodiscard]] std::string CopyPathFor(const std::string& contractPath) const;

    // Writes the contract as it stands (no remark stamping, its flags
    // untouched) as the recovery copy of contractPath, then its note. The
    // copy before it stays until the new one is complete.
    [[nodiscard]] Result<RecoveryCopy> Save(CContract& contract, const std::string& contractPath);

    // Every copy in the folder with a readable note, newest first; copies
    // without a note, notes without a copy and notes that do not name the
    // contract their copy was made for are passed over. A folder that
    // others may change is refused (nothing in it can be trusted).
    [[nodiscard]] Result<std::vector<RecoveryCopy>> List() const;
    // The copy a note stands for, from the note's name in folder and its
    // text (which another user may have planted): a name of ours, an owner
    // record, and the absolute path of the contract whose copy the name was
    // made for. The owner's state is left Unknown.
    [[nodiscard]] static Result<RecoveryCopy> ReadNote(const std::string& folder, std::string_view noteName,
                                                       std::string_view text);
    // The copies whose program no longer runs on this host (left by a
    // crash). Copies of a program still running, or written on another
    // host, are not among them.
    [[nodiscard]] Result<std::vector<RecoveryCopy>> LeftBehind() const;

    // Removes the copy of the contract at contractPath and its note (no
    // copy is no failure).
    [[nodiscard]] Status Remove(const std::string& contractPath);
    // Removes a listed copy and its note.
    [[nodiscard]] Status Discard(const RecoveryCopy& copy);

    // Reads a copy as a contract. The contract is marked modified: it holds
    // changes the file at its path does not have. A copy that is not a file
    // of the user's, or cannot be read, is refused naming the copy.
    [[nodiscard]] Result<std::unique_ptr<CContract>> TakeBack(const RecoveryCopy& copy) const;

private:
    std::string PathFor(const std::string& contractPath, const char* extension) const;
    std::string m_folder;
};

} // namespace kestrel
