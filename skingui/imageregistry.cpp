#include "skingui/imageregistry.h"

namespace SKINGUI {

ImageRegistry& ImageRegistry::Instance() {
    static ImageRegistry registry;
    return registry;
}

bool ImageRegistry::Register(const QString& name, std::shared_ptr<SkinImageList> list) {
    auto it = lists_.find(name);
    if (it != lists_.end()) {
        it->second = std::move(list);
        return false;
    }
    lists_.emplace(name, std::move(list));
    return true;
}

void ImageRegistry::Unregister(const QString& name) {
    lists_.erase(name);
}

std::shared_ptr<SkinImageList> ImageRegistry::Lookup(const QString& name) const {
    auto it = lists_.find(name);
    return it == lists_.end() ? nullptr : it->second;
}

void ImageRegistry::SetAlias(const QString& name, const QString& target, int index) {
    aliases_[name] = Alias{target, index};
}

bool ImageRegistry::LookupAlias(const QString& name, QString* target, int* index) const {
    auto it = aliases_.find(name);
    if (it == aliases_.end()) {
        return false;
    }
    if (target != nullptr) {
        *target = it->second.target;
    }
    if (index != nullptr) {
        *index = it->second.index;
    }
    return true;
}

void ImageRegistry::Clear() {
    lists_.clear();
    aliases_.clear();
}

}  // namespace SKINGUI
