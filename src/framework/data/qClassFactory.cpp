#include "framework/data/qClassFactory.h"

#include "framework/data/qCamera.h"
#include "framework/data/qValues.h"

namespace zol {

std::shared_ptr<qPersistable> CreateClassInstance(const std::string& ClassName) {
    if (ClassName == "qCamera") return std::make_shared<qCamera>();
    if (ClassName == "qValues") return std::make_shared<qValues>();
    return nullptr;
}

}  // namespace zol
