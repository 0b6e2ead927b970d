#pragma once
// Choosing a proposal out of a bid library before it is opened. This is the
// entry point the document calls; the selection dialog itself (`CKVLLoad`)
// is built on it.

#include <QString>
#include <QStringList>

#include "app/asker.h"

class QWidget;

namespace kestrel {

// The names of the library's entries that match the patterns, in directory
// order (empty when the library cannot be read).
QStringList MatchingProposalNames(const QString& library, const QString& patterns);

// Extracts the entry `name` beside the library. Confirmed with the path of
// the extracted file, or not confirmed with the text of the failure
// ("Can't open KVL library", "No Matching Files Found", ...) in error.
ProposalChoice ExtractProposal(const QString& library, const QString& name, QString* error);

// Runs the selection modally: lists the matching entries, extracts the one
// chosen. An extraction that fails is reported ("Error Extracting
// Proposal") and gives no choice, so that nothing half-extracted is opened.
ProposalChoice RunProposalSelection(QWidget* parent, const QString& library, const QString& patterns,
                                    const QString& title);

} // namespace kestrel
