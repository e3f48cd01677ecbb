// qClassFactory: turns a stored class name back into a new object.
//
// What it does: "qCamera" and "qValues" (exact, letter case included) give a new object of
// that class; every other name gives nothing.
// Who owns what: the caller owns the new object.
// Failure: an unknown name returns an empty pointer.
#pragma once

#include <memory>
#include <string>

#include "framework/data/qPersistable.h"

namespace zol {

// A new object of the named persistable class, or nothing.
std::shared_ptr<qPersistable> CreateClassInstance(const std::string& ClassName);

}  // namespace zol
