#pragma once
// Process-wide registry of named image lists that markup img tags draw from.
// It shares ownership of the lists: a list stays alive while a registered name
// or a page that is drawing holds it, and registering a name again replaces the
// old list (a rebuilt task pane brings new lists after a log-out).
#include <QString>
#include <map>
#include <memory>

#include "skingui/skinimagelist.h"

namespace SKINGUI {

class ImageRegistry {
public:
    // The registry the pages use unless given another one.
    static ImageRegistry& Instance();

    // Returns true when the name was new; an existing name gets the new list.
    bool Register(const QString& name, std::shared_ptr<SkinImageList> list);
    void Unregister(const QString& name);
    // Null when the name is not registered.
    std::shared_ptr<SkinImageList> Lookup(const QString& name) const;

    // Alias table consulted by img tags without an index: name -> registered name and cell.
    void SetAlias(const QString& name, const QString& target, int index);
    bool LookupAlias(const QString& name, QString* target, int* index) const;

    void Clear();

private:
    struct Alias {
        QString target;
        int index = 0;
    };
    std::map<QString, std::shared_ptr<SkinImageList>> lists_;
    std::map<QString, Alias> aliases_;
};

}  // namespace SKINGUI
