// qPersistable: what an object must offer to be kept in a chunk of a qFile.
//
// What it does: a GUID to find the object's chunk by, its class name for the class
// factory, and Export/Import into and out of a qStream.
// Who owns what: objects are shared (std::shared_ptr) between their owner and the chunk
// list that refers to them.
// Failure: Import of a damaged stream leaves the object as it was or in a consistent
// state; the stream says it failed.
#pragma once

#include <string>

namespace zol {

class qStream;

class qPersistable {
public:
    virtual ~qPersistable() = default;
    std::string GUID;  // identifier; chunks are looked up by it

    // The name the class factory knows this class by.
    virtual std::string ClassName() const = 0;
    // Writes the object into iFile.
    virtual void Export(qStream& iFile) const = 0;
    // Reads the object back from iFile.
    virtual void Import(qStream& iFile) = 0;
};

}  // namespace zol
