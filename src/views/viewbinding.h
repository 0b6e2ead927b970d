#pragma once
// What a data view is opened for: the kind of its tree node and the record
// (or data template) the node stands for.

#include <QMetaType>
#include <QString>

#include "app/treenodekind.h"

namespace kestrel {

class CSubcontract;

struct ViewBinding {
    TreeNodeKind kind = NODE_NONE;
    CSubcontract* record = nullptr; // the subcontractor of kinds 3, 4, 5 and 10
    QString templateName;           // the data template of kind 9
    QString label;                  // the node's label
};

} // namespace kestrel

Q_DECLARE_METATYPE(kestrel::ViewBinding)
