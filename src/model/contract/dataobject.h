#pragma once
// Base of every record class of the contract and subcontract models.

namespace kestrel {

// Every record class derives from CDataObject<itself>: a virtual destructor
// and Copy from another record of the same class (all members, texts
// duplicated). Copy is virtual so that containers can copy without knowing
// the concrete class.
template <class T> class CDataObject {
public:
    virtual ~CDataObject() = default;
    virtual void Copy(const T& other) = 0;
};

} // namespace kestrel
