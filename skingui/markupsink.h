#pragma once
// What the markup parser builds into: the page's element list and its actions.
#include <QString>
#include <cstdint>

namespace SKINGUI {

class MarkupSink {
public:
    virtual ~MarkupSink() = default;
    // Every attribute equal to kNotSet stays unset; returns the new element's index.
    virtual int AddTextRun(const QString& text, uint32_t color, int size, int bold, int italic, int underline,
                           int fourth, int spare, const QString* face) = 0;
    // Returns -1 when no image list is registered under srcid.
    virtual int AddImage(const QString& srcid, int index, int width, int height) = 0;
    virtual bool LookupImageAlias(const QString& srcid, QString* target, int* index) const = 0;
    virtual void SetElementAction(int element, int kind, const QString& name) = 0;
};

}  // namespace SKINGUI
